// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/SplashScreen.h"

#include "report/Palette.h"
#include "support/StringTable.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

using namespace orva;

class SplashScreenTest : public QObject
{
    Q_OBJECT

private slots:
    void textColumnFollowsTheLanguage_data();
    void textColumnFollowsTheLanguage();
    void showsTheBitmapInItsSizeAndClosesByItself();
};

void SplashScreenTest::textColumnFollowsTheLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("column");
    QTest::newRow("German") << 0 << 380;
    QTest::newRow("English US") << 1 << 380;
    QTest::newRow("English UK") << 2 << 380;
    QTest::newRow("Spanish") << 3 << 380;
    QTest::newRow("French") << 4 << 350;
    QTest::newRow("Polish") << 5 << 350;
}

void SplashScreenTest::textColumnFollowsTheLanguage()
{
    QFETCH(int, language);
    QFETCH(int, column);
    QCOMPARE(QS_SplashScreen::textColumn(language), column);
}

void SplashScreenTest::showsTheBitmapInItsSizeAndClosesByItself()
{
    Palette palette(QApplication::palette());
    QPointer<QS_SplashScreen> splash = new QS_SplashScreen(StringTable::german(), palette, 0);
    splash->show();
    QCOMPARE(splash->size(), QSize(600, 400));
    QVERIFY(!splash->grab().isNull());
    QVERIFY(!splash.isNull()); // still there before its time is over
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 10000);
}

QTEST_MAIN(SplashScreenTest)
#include "SplashScreenTest.moc"
