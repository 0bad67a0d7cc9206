// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CToolTip.h"

#include "support/StringTable.h"

#include <QTest>

using namespace orva;

namespace {

struct Host final : CToolTip::Host
{
    void setTimer(int id, int ms) override
    {
        timerId = id;
        timerMs = ms;
    }
    void stopTimer(int) override { timerMs = -1; }
    void showBox(const QRect &rect, const QString &text) override
    {
        box = rect;
        shownText = text;
        visible = true;
    }
    void hideBox() override { visible = false; }
    bool isActive() const override { return active; }
    QRect ownerRect() const override { return QRect(0, 0, 1000, 700); }
    QRect desktopRect() const override { return QRect(0, 0, 1280, 800); }
    int charHeight() const override { return 16; }
    int averageCharWidth() const override { return 7; }

    int timerId = 0;
    int timerMs = -1;
    QRect box;
    QString shownText;
    bool visible = false;
    bool active = true;
};

} // namespace

class CToolTipTest : public QObject
{
    Q_OBJECT

private slots:
    void showsAfterRestingAndHidesAfterItsLifetime();
    void clickHidesAndRestartsTheDelay();
    void hiddenPanelsGiveNoTextButChartBarsDo();
    void laterAreasWin();
    void boxStaysOnTheDesktop_data();
    void boxStaysOnTheDesktop();
    void nothingShowsWhileAnotherProgramIsActive();
};

void CToolTipTest::showsAfterRestingAndHidesAfterItsLifetime()
{
    Host host;
    CToolTip tip(host, StringTable::german());
    tip.addArea({ &host, QRect(10, 10, 100, 50), 134, QString(), [] { return true; } });
    tip.mouseMove(QPoint(50, 30), QPoint(50, 30));
    QCOMPARE(host.timerId, CToolTip::kTimerId);
    QCOMPARE(host.timerMs, 1000);
    tip.timer();
    QVERIFY(tip.isShown());
    QCOMPARE(host.shownText, QStringLiteral("komplett"));
    QCOMPARE(host.box, QRect(50, 30 + 24, 7 * 10, 24));
    QCOMPARE(host.timerMs, 10000);
    tip.mouseMove(QPoint(50, 30), QPoint(50, 30)); // the same position changes nothing
    QVERIFY(host.visible);
    tip.timer();
    QVERIFY(!tip.isShown());
    QVERIFY(!host.visible);
}

void CToolTipTest::clickHidesAndRestartsTheDelay()
{
    Host host;
    CToolTip tip(host, StringTable::german());
    tip.addArea({ &host, QRect(0, 0, 100, 100), -1, QStringLiteral("Balken"), {} });
    tip.mouseMove(QPoint(5, 5), QPoint(5, 5));
    tip.timer();
    QVERIFY(host.visible);
    tip.mouseClick();
    QVERIFY(!host.visible);
    QCOMPARE(host.timerMs, 1000);
    tip.timer(); // the mouse did not move: shown again after a second
    QVERIFY(host.visible);
}

void CToolTipTest::hiddenPanelsGiveNoTextButChartBarsDo()
{
    Host host;
    CToolTip tip(host, StringTable::german());
    bool panelVisible = false;
    int bar = 0;
    tip.addArea({ &host, QRect(0, 0, 100, 100), 134, QString(), [&] { return panelVisible; } });
    QCOMPARE(tip.textAt(QPoint(5, 5)), QString());
    tip.addArea({ &bar, QRect(0, 0, 10, 10), -1, QStringLiteral("[ 1] ba  612ms R"), {} });
    QCOMPARE(tip.textAt(QPoint(5, 5)), QStringLiteral("[ 1] ba  612ms R"));
    QCOMPARE(tip.textAt(QPoint(50, 50)), QString());
    panelVisible = true;
    QCOMPARE(tip.textAt(QPoint(50, 50)), QStringLiteral("komplett"));
    tip.removeWindowlessAreas();
    QCOMPARE(tip.areas().size(), 1);
}

void CToolTipTest::laterAreasWin()
{
    Host host;
    CToolTip tip(host, StringTable::german());
    int first = 0;
    int second = 0;
    tip.addArea({ &first, QRect(0, 0, 100, 100), 133, QString(), {} });
    tip.addArea({ &second, QRect(50, 50, 100, 100), 134, QString(), {} });
    QCOMPARE(tip.textAt(QPoint(60, 60)), QStringLiteral("komplett"));
    QCOMPARE(tip.textAt(QPoint(10, 10)), QStringLiteral("abgebrochen"));
    tip.removeArea(&second);
    QCOMPARE(tip.textAt(QPoint(60, 60)), QStringLiteral("abgebrochen"));
}

void CToolTipTest::boxStaysOnTheDesktop_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QRect>("box");
    const QRect desktop(0, 0, 1280, 800);
    QTest::newRow("middle") << QPoint(300, 300) << QRect(300, 324, 100, 24);
    QTest::newRow("right edge") << QPoint(1250, 300) << QRect(1280 - 105, 324, 100, 24);
    QTest::newRow("left of the desktop") << QPoint(-20, 300) << QRect(5, 324, 100, 24);
    QTest::newRow("near the bottom") << QPoint(300, 790) << QRect(300, 800 - 65, 100, 24);
    QTest::newRow("above the top") << QPoint(300, -3) << QRect(300, 5 + 24, 100, 24);
}

void CToolTipTest::boxStaysOnTheDesktop()
{
    QFETCH(QPoint, cursor);
    QFETCH(QRect, box);
    QCOMPARE(CToolTip::placeBox(cursor, QSize(100, 24), QRect(0, 0, 1280, 800)), box);
}

void CToolTipTest::nothingShowsWhileAnotherProgramIsActive()
{
    Host host;
    host.active = false;
    CToolTip tip(host, StringTable::german());
    tip.addArea({ &host, QRect(0, 0, 100, 100), 134, QString(), {} });
    tip.mouseMove(QPoint(5, 5), QPoint(5, 5));
    tip.timer();
    QVERIFY(!host.visible);
    host.active = true;
    tip.mouseMove(QPoint(1100, 5), QPoint(1100, 5)); // outside the owner
    tip.timer();
    QVERIFY(!host.visible);
}

QTEST_GUILESS_MAIN(CToolTipTest)
#include "CToolTipTest.moc"
