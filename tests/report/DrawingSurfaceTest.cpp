// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/DrawingSurface.h"

#include "report/Palette.h"
#include "report/PrinterChooser.h"
#include "report/PrinterDC.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

class DrawingSurfaceTest : public QObject
{
    Q_OBJECT

private slots:
    void shadesPickTheirSlots_data();
    void shadesPickTheirSlots();
    void systemColoursFollowTheFixedBlocks();
    void pensAreAtMost999Wide();
    void cutOutShapesSurviveLaterPainting();
    void frameOutsideTheSurfaceDrawsNothing();
    void clipEdgesMoveAlone();
    void rightAlignedTextEndsAtItsPosition();
    void derivedSurfaceKeepsCoordinatesGivenAsNegative();
    void printsAOnePageDocumentToPdf();
    void refusesDocumentsWithoutLineHeight();

private:
    Palette m_palette { QApplication::palette() };
};

namespace {

QImage blank(int width = 100, int height = 100)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

void DrawingSurfaceTest::shadesPickTheirSlots_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QColor>("color");
    QTest::newRow("grey(0.4)") << Palette::grey(0.4) << 38 << QColor(103, 103, 103);
    QTest::newRow("grey(1)") << Palette::grey(1) << 0 << QColor(255, 255, 255);
    QTest::newRow("grey(0)") << Palette::grey(0) << 63 << QColor(3, 3, 3);
    QTest::newRow("grey(7) clamps") << Palette::grey(7) << 0 << QColor(255, 255, 255);
    QTest::newRow("red(1)") << Palette::red(1) << 96 << QColor(255, 0, 0);
    QTest::newRow("red(0)") << Palette::red(0) << 127 << QColor(131, 0, 0);
    QTest::newRow("green(0.5)") << Palette::green(0.5) << 207 << QColor(0, 195, 0);
    QTest::newRow("blue(-1) clamps") << Palette::blue(-1) << 287 << QColor(0, 0, 131);
    QTest::newRow("yellow(1)") << Palette::yellow(1) << 160 << QColor(255, 255, 0);
    QTest::newRow("orange halves") << 129 << 129 << QColor(251, 125, 0);
    QTest::newRow("magenta") << 64 << 64 << QColor(255, 0, 255);
    QTest::newRow("cyan") << 224 << 224 << QColor(0, 255, 255);
}

void DrawingSurfaceTest::shadesPickTheirSlots()
{
    QFETCH(int, slot);
    QFETCH(int, expected);
    QFETCH(QColor, color);
    QCOMPARE(slot, expected);
    QCOMPARE(m_palette.color(slot), color);
}

void DrawingSurfaceTest::systemColoursFollowTheFixedBlocks()
{
    QPalette system;
    system.setColor(QPalette::Text, QColor(1, 2, 3));
    system.setColor(QPalette::Base, QColor(4, 5, 6));
    system.setColor(QPalette::ToolTipBase, QColor(7, 8, 9));
    const Palette palette(system);
    QCOMPARE(palette.color(Palette::kWindowText), QColor(1, 2, 3));
    QCOMPARE(palette.color(Palette::kWindow), QColor(4, 5, 6));
    QCOMPARE(palette.color(Palette::kToolTipBackground), QColor(7, 8, 9));
    QCOMPARE(palette.color(-1), palette.color(Palette::kNearBlack));
    QCOMPARE(palette.color(Palette::kSlots), palette.color(Palette::kNearBlack));
}

void DrawingSurfaceTest::pensAreAtMost999Wide()
{
    QCOMPARE(m_palette.pen(96, 5000).width(), 999);
    QCOMPARE(m_palette.pen(96, 3).width(), 3);
    QCOMPARE(m_palette.pen(96, 3).color(), QColor(255, 0, 0));
    QCOMPARE(&m_palette.pen(96, 3), &m_palette.pen(96, 3)); // cached
}

void DrawingSurfaceTest::cutOutShapesSurviveLaterPainting()
{
    QImage image = blank();
    QPainter painter(&image);
    DrawingSurface surface(m_palette);
    surface.begin(&painter, image.rect());
    surface.fillRect(Palette::red(1), false, true, QRect(10, 10, 20, 20));
    surface.fillEllipse(Palette::green(1), false, true, QRect(50, 50, 30, 30));
    surface.fillRect(Palette::blue(1), true, false, QRect(0, 0, 100, 100));
    surface.end();
    painter.end();
    QCOMPARE(image.pixelColor(20, 20), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(65, 65), QColor(0, 255, 0));
    QCOMPARE(image.pixelColor(45, 45), QColor(0, 0, 255));
    QCOMPARE(image.pixelColor(0, 0), QColor(3, 3, 3)); // the outline
}

void DrawingSurfaceTest::frameOutsideTheSurfaceDrawsNothing()
{
    QImage image = blank();
    QPainter painter(&image);
    DrawingSurface surface(m_palette);
    surface.begin(&painter, QRect(0, 0, 50, 50));
    surface.frame(Palette::kNearBlack, 3, QRect(60, 60, 20, 20));
    surface.frame(Palette::red(1), 1, QRect(10, 10, 20, 20));
    surface.end();
    painter.end();
    QCOMPARE(image.pixelColor(60, 60), QColor(Qt::white));
    QCOMPARE(image.pixelColor(10, 10), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(20, 20), QColor(Qt::white));
}

void DrawingSurfaceTest::clipEdgesMoveAlone()
{
    QImage image = blank();
    QPainter painter(&image);
    DrawingSurface surface(m_palette);
    surface.begin(&painter, image.rect());
    surface.fillRect(Palette::red(1), false, true, QRect(0, 0, 10, 10));
    surface.setClipLeft(5);
    surface.setClipBottom(49);
    surface.fillRect(Palette::blue(1), false, false, image.rect());
    surface.end();
    painter.end();
    QCOMPARE(image.pixelColor(2, 20), QColor(Qt::white)); // left of the clip
    QCOMPARE(image.pixelColor(7, 7), QColor(255, 0, 0)); // still cut out
    QCOMPARE(image.pixelColor(20, 49), QColor(0, 0, 255));
    QCOMPARE(image.pixelColor(20, 50), QColor(Qt::white));
}

void DrawingSurfaceTest::rightAlignedTextEndsAtItsPosition()
{
    QImage image = blank(200, 60);
    QPainter painter(&image);
    DrawingSurface surface(m_palette);
    surface.begin(&painter, image.rect());
    QVERIFY(surface.textHeight() > 0);
    QVERIFY(surface.averageCharWidth() > 0);
    surface.setTextColor(Palette::kNearBlack);
    surface.alignRight();
    surface.textOut(100, 10, QStringLiteral("WWWW"));
    surface.end();
    painter.end();
    int rightmost = -1;
    int leftmost = 1000;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(x, y) != QColor(Qt::white)) {
                rightmost = qMax(rightmost, x);
                leftmost = qMin(leftmost, x);
            }
        }
    }
    QVERIFY2(rightmost <= 100 && rightmost > 90, qPrintable(QString::number(rightmost)));
    QVERIFY(leftmost < 90);
}

void DrawingSurfaceTest::derivedSurfaceKeepsCoordinatesGivenAsNegative()
{
    QImage image = blank();
    QPainter painter(&image);
    DrawingSurface outer(m_palette);
    outer.begin(&painter, QRect(QPoint(5, 6), QPoint(90, 80)));
    outer.setTextColor(Palette::red(1));
    DrawingSurface inner(m_palette);
    inner.derive(outer, 20, -1, -1, 40);
    QCOMPARE(inner.rect(), QRect(QPoint(20, 6), QPoint(90, 40)));
    QCOMPARE(inner.textColor(), Palette::red(1));
    QCOMPARE(inner.textHeight(), outer.textHeight());
    inner.end();
    outer.end();
}

void DrawingSurfaceTest::printsAOnePageDocumentToPdf()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("result.pdf"));
    PdfPrinterChooser chooser(path);
    ORVA_PrinterDC printer(chooser);
    QVERIFY(printer.choose(nullptr));
    QVERIFY(printer.physicalHeight() > printer.physicalWidth());
    QVERIFY(printer.startDocument(QStringLiteral("ORVA Result.txt"), 40, 50, 100));
    QCOMPARE(printer.linesPerPage(), (printer.physicalHeight() - 2 * printer.offsetY()) / 100 - 2);
    QCOMPARE(printer.pageCount(), 40 / printer.linesPerPage() + 1);
    DrawingSurface surface(m_palette);
    surface.begin(printer.painter(),
                  QRect(0, 0, printer.physicalWidth(), printer.physicalHeight()));
    surface.textOut(200, 200, QStringLiteral("Vortest komplett"));
    surface.end();
    printer.endDocument();
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().startsWith("%PDF"));
}

void DrawingSurfaceTest::refusesDocumentsWithoutLineHeight()
{
    QTemporaryDir dir;
    PdfPrinterChooser chooser(dir.filePath(QStringLiteral("none.pdf")));
    ORVA_PrinterDC printer(chooser);
    QVERIFY(printer.choose(nullptr));
    QVERIFY(!printer.startDocument(QStringLiteral("x"), 10, 8, 0));
    QVERIFY(printer.painter() == nullptr);
    QVERIFY(printer.choose(nullptr));
    QVERIFY(!printer.startDocument(QStringLiteral("x"), 10, 8, 1000000)); // no line fits
}

QTEST_MAIN(DrawingSurfaceTest)
#include "DrawingSurfaceTest.moc"
