// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ChildWindows.h"

#include "mainwindow/MainFonts.h"
#include "report/Palette.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QSet>
#include <QSlider>
#include <QTest>

using namespace orva;

namespace {

/// The main window's children on a canvas of their own; nothing is shown, so nothing paints.
struct Children
{
    Children()
    {
        canvas.resize(1000, 700);
        layout = MainWindowLayout::calculate(1000, 700, fonts.metrics());
        children.create(&canvas, entries, &canvas, [this](int id) { commands.append(id); });
    }

    QWidget canvas;
    MainFonts fonts = MainFonts::forScreen(QApplication::font(), 96);
    Palette palette { QApplication::palette() };
    QImage logo;
    std::vector<ChildEntry> entries = mainWindowChildren(
        { [] { return PanelState(); }, [] { return 10; }, [] { return QString(); }, &logo, {} });
    ChildWindows children { palette, StringTable::german(), fonts.normal };
    MainWindowLayout layout;
    QList<int> commands;
};

} // namespace

/// The main window's child windows come from one table: each row makes one child, with its
/// tool tip, its place in either view and its command.
class ChildWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyRowMakesOneChildWithItsToolTip();
    void childrenGoWhereTheLayoutPutsThemInEitherView();
    void reportViewOpensItsButtonsAndRenamesAbort();
};

void ChildWindowsTest::everyRowMakesOneChildWithItsToolTip()
{
    Children made;
    QSet<int> ids;
    int withTip = 0;
    for (const ChildEntry &entry : made.entries) {
        QVERIFY2(!ids.contains(entry.id), qPrintable(QString::number(entry.id)));
        ids.insert(entry.id);
        QVERIFY2(made.children.child(entry.id), qPrintable(QString::number(entry.id)));
        if (entry.toolTip >= 0) {
            ++withTip;
            QVERIFY(!StringTable::german().text(entry.toolTip).isEmpty());
        }
    }
    QVERIFY(!made.children.child(4711));
    QVERIFY(made.children.slider());
    const auto tips = made.children.toolTips();
    QCOMPARE(int(tips.size()), withTip);
    // The tips come in the table's order, each with its own child.
    int row = 0;
    for (const auto &[widget, text] : tips) {
        while (made.entries[row].toolTip < 0)
            ++row;
        QCOMPARE(widget, made.children.child(made.entries[row].id));
        QCOMPARE(text, made.entries[row].toolTip);
        ++row;
    }
    // A button gives its command; the run buttons start disabled.
    auto *wrong = qobject_cast<QPushButton *>(made.children.child(int(RunButton::Wrong)));
    QVERIFY(wrong && !wrong->isEnabled());
    wrong->setEnabled(true);
    wrong->click();
    QCOMPARE(made.commands, QList<int>({ int(RunButton::Wrong) }));
}

void ChildWindowsTest::childrenGoWhereTheLayoutPutsThemInEitherView()
{
    Children made;
    for (bool reportView : { false, true }) {
        made.children.move(made.layout, reportView);
        for (const ChildEntry &entry : made.entries) {
            QRect MainWindowLayout::*rect =
                reportView && entry.reportRect ? entry.reportRect : entry.rect;
            if (!rect)
                continue; // a control of the report view only
            QCOMPARE(made.children.child(entry.id)->geometry(), made.layout.*rect);
        }
        QCOMPARE(made.children.child(kReportScrollBarId)->isVisibleTo(&made.canvas), reportView);
    }
}

void ChildWindowsTest::reportViewOpensItsButtonsAndRenamesAbort()
{
    Children made;
    auto *abort = qobject_cast<QPushButton *>(made.children.child(int(RunButton::Abort)));
    const QString abortText = StringTable::german().text(Text::kAbortButton);
    QCOMPARE(abort->text(), abortText);
    made.children.setReportView(true);
    for (int id :
         { Command::PrintReport, Command::ShowTests, Command::ShowSyllables, Command::AbortButton })
        QVERIFY2(made.children.child(id)->isEnabled(), qPrintable(QString::number(id)));
    QCOMPARE(abort->text(), StringTable::german().text(Text::kCloseReportButton));
    made.children.setReportView(false);
    QVERIFY(!abort->isEnabled());
    QCOMPARE(abort->text(), abortText);
}

QTEST_MAIN(ChildWindowsTest)
#include "ChildWindowsTest.moc"
