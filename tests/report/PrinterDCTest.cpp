// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/PrinterDC.h"

#include "report/PrinterChooser.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

class PrinterDCTest : public QObject
{
    Q_OBJECT

private slots:
    void everyNewPageIsAPageOfTheDocument();
    void paperInPixelsIsThePaperOfTheDocument_data();
    void paperInPixelsIsThePaperOfTheDocument();
    void cancelledChoiceLeavesNoDocument();

private:
    QTemporaryDir m_dir;
};

namespace {

/// Reads what the PDF file itself says, with no help from Qt: the number of page objects and the
/// size of the first page in points.
struct PdfPages
{
    int count = 0;
    QSizeF firstPage;
};

PdfPages pdfPages(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromLatin1(file.readAll());
    PdfPages pages;
    pages.count = int(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s\\w])"))));
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+"
                                          "([-\\d.]+)\\s+([-\\d.]+)\\s*\\]"))
            .match(text);
    if (box.hasMatch())
        pages.firstPage = QSizeF(box.captured(3).toDouble() - box.captured(1).toDouble(),
                                 box.captured(4).toDouble() - box.captured(2).toDouble());
    return pages;
}

class CancelledChooser final : public PrinterChooser
{
public:
    bool choose(QPrinter &, QWidget *, bool) override { return false; }
};

} // namespace

void PrinterDCTest::everyNewPageIsAPageOfTheDocument()
{
    const QString path = m_dir.filePath(QStringLiteral("report.pdf"));
    PdfPrinterChooser chooser(path);
    PrinterDC printer(chooser);
    QVERIFY(printer.choose(nullptr));
    QVERIFY(printer.startDocument(QStringLiteral("ORVA Übungsbericht")));
    for (int page = 0; page < 3; ++page) {
        if (page > 0)
            printer.newPage();
        QVERIFY(printer.painter() != nullptr);
        printer.painter()->drawText(200, 200, QStringLiteral("Seite %1").arg(page + 1));
    }
    printer.endDocument();
    QVERIFY(printer.painter() == nullptr);
    QCOMPARE(pdfPages(path).count, 3);
}

void PrinterDCTest::paperInPixelsIsThePaperOfTheDocument_data()
{
    QTest::addColumn<bool>("landscape");
    QTest::newRow("portrait") << false;
    QTest::newRow("landscape") << true;
}

void PrinterDCTest::paperInPixelsIsThePaperOfTheDocument()
{
    QFETCH(bool, landscape);
    const QString path = m_dir.filePath(QStringLiteral("paper.pdf"));
    PdfPrinterChooser chooser(path);
    PrinterDC printer(chooser);
    QVERIFY(printer.choose(nullptr));
    const QSize upright(printer.physicalWidth(), printer.physicalHeight());
    QVERIFY(upright.height() > upright.width());
    if (landscape) {
        printer.landscape();
        QCOMPARE(QSize(printer.physicalWidth(), printer.physicalHeight()), upright.transposed());
    }
    QVERIFY(printer.pixelsPerInchX() > 0);
    QVERIFY(printer.offsetX() >= 0 && printer.offsetX() < printer.physicalWidth() / 4);
    QVERIFY(printer.offsetY() >= 0 && printer.offsetY() < printer.physicalHeight() / 4);
    QVERIFY(printer.startDocument(QStringLiteral("ORVA Übungsbericht")));
    printer.endDocument();

    // 72 points to the inch: the pixels the report lays out on are the paper that is printed.
    const QSizeF points = pdfPages(path).firstPage;
    QVERIFY(!points.isEmpty());
    const double inch = printer.pixelsPerInchX();
    const QSize pixels(printer.physicalWidth(), printer.physicalHeight());
    QVERIFY2(qAbs(points.width() - pixels.width() * 72.0 / inch) < 1.0
                 && qAbs(points.height() - pixels.height() * 72.0 / inch) < 1.0,
             qPrintable(QStringLiteral("%1 x %2 pt, %3 x %4 px at %5 dpi")
                            .arg(points.width())
                            .arg(points.height())
                            .arg(pixels.width())
                            .arg(pixels.height())
                            .arg(inch)));
}

void PrinterDCTest::cancelledChoiceLeavesNoDocument()
{
    CancelledChooser chooser;
    ORVA_PrinterDC printer(chooser);
    QVERIFY(!printer.choose(nullptr));
    QVERIFY(!printer.startDocument(QStringLiteral("ORVA Result.txt"), 40, 50, 100));
    QVERIFY(printer.painter() == nullptr);
    printer.newPage(); // nothing to turn
    printer.endDocument();
}

QTEST_MAIN(PrinterDCTest)
#include "PrinterDCTest.moc"
