// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/InstructionDialog.h"

#include "dialogs/ModelessSlot.h"
#include "support/StringTable.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace orva;

/// The instruction's modeless dialog on its own, with a progress the test sets.
class InstructionDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void barLiesBetweenTextAndButtonAndFillsByProgress();
    void everyWayOfClosingEndsTheInstructionOnce_data();
    void everyWayOfClosingEndsTheInstructionOnce();
    void detachedDialogReportsNothing();
};

void InstructionDialogTest::barLiesBetweenTextAndButtonAndFillsByProgress()
{
    double progress = 0;
    InstructionDialog dialog(StringTable::german(), [&] { return progress; });
    const QRect bar = dialog.progressBarRect();
    const QWidget *text = dialog.control(InstructionDialog::kTextId);
    const QWidget *ok = dialog.control(1);
    QCOMPARE(bar, QRect(20, dialog.height() - text->height() - 10, dialog.width() - 40, 20));
    QCOMPARE(dialog.progressBar()->geometry(), bar);
    QVERIFY(bar.top() >= text->geometry().bottom());
    QVERIFY(bar.bottom() < ok->geometry().top());
    QCOMPARE(qobject_cast<const QLabel *>(text)->text(), StringTable::german().text(144));

    const QList<std::pair<double, int>> expected {
        { 0.0, 0 },           { 0.5, bar.width() / 2 },
        { 1.0, bar.width() }, { 1.7, bar.width() }, // a progress past the end keeps the bar full
        { -0.2, 0 },
    };
    for (const auto &[fraction, pixels] : expected) {
        progress = fraction;
        QCOMPARE(dialog.filledWidth(), pixels);
    }

    // What is painted: the left part in the filled colour, the right part in another.
    progress = 0.25;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QImage image = dialog.progressBar()->grab().toImage();
    const int y = image.height() / 2;
    const int split = int(image.width() * 0.25);
    QCOMPARE(image.pixelColor(split - 3, y), image.pixelColor(3, y));
    QVERIFY(image.pixelColor(split + 3, y) != image.pixelColor(3, y));
    QCOMPARE(image.pixelColor(split + 3, y), image.pixelColor(image.width() - 4, y));
    QVERIFY(dialog.isRepainting());
}

void InstructionDialogTest::everyWayOfClosingEndsTheInstructionOnce_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("OK clicked") << 0;
    QTest::newRow("Return") << 1;
    QTest::newRow("Escape") << 2;
    QTest::newRow("the window's close button") << 3;
}

void InstructionDialogTest::everyWayOfClosingEndsTheInstructionOnce()
{
    QFETCH(int, way);
    ModelessSlot slot;
    auto *dialog = new InstructionDialog(StringTable::german(), [] { return 0.5; });
    QPointer<InstructionDialog> watched = dialog;
    int ends = 0;
    dialog->setEndHandler([&] {
        ++ends;
        slot.close(); // as the main window ends it
    });
    QVERIFY(slot.open(dialog));
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    switch (way) {
    case 0:
        QTest::mouseClick(static_cast<QPushButton *>(dialog->control(1)), Qt::LeftButton);
        break;
    case 1:
        QTest::keyClick(dialog, Qt::Key_Return);
        break;
    case 2:
        QTest::keyClick(dialog, Qt::Key_Escape);
        break;
    default:
        dialog->close();
        break;
    }
    QCOMPARE(ends, 1);
    QVERIFY(!slot.isOpen());
    QTRY_VERIFY(watched.isNull());
    QCOMPARE(ends, 1);
}

void InstructionDialogTest::detachedDialogReportsNothing()
{
    int ends = 0;
    int asked = 0;
    InstructionDialog dialog(StringTable::german(), [&] {
        ++asked;
        return 0.5;
    });
    dialog.setEndHandler([&] { ++ends; });
    dialog.show();
    dialog.detach();
    asked = 0;
    QVERIFY(!dialog.isRepainting());
    QCOMPARE(dialog.filledWidth(), 0);
    dialog.accept();
    QCOMPARE(ends, 0);
    QCOMPARE(asked, 0);
}

QTEST_MAIN(InstructionDialogTest)
#include "InstructionDialogTest.moc"
