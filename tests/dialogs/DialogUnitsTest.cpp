// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTest>

using namespace orva;

class DialogUnitsTest : public QObject
{
    Q_OBJECT

private slots:
    void convertsWithTheBasesOfAFixedFont_data();
    void convertsWithTheBasesOfAFixedFont();
    void roundsHalvesAwayFromZero();
    void basesComeFromTheAlphabetAndTheHeight();
    void biggerFontGivesBiggerDialog();
};

void DialogUnitsTest::convertsWithTheBasesOfAFixedFont_data()
{
    QTest::addColumn<int>("baseX");
    QTest::addColumn<int>("baseY");
    QTest::addColumn<QRect>("units");
    QTest::addColumn<QRect>("pixels");
    // 8-point "MS Sans Serif" at 96 dpi, the font the templates were laid out in: 6 x 13.
    // 114 * 6 / 4 = 171, 40 * 13 / 8 = 65, 50 * 6 / 4 = 75, 14 * 13 / 8 = 22.75.
    QTest::newRow("language OK button, 6x13")
        << 6 << 13 << QRect(114, 40, 50, 14) << QRect(171, 65, 75, 23);
    // 347 * 6 / 4 = 520.5, 207 * 13 / 8 = 336.375.
    QTest::newRow("options dialog, 6x13")
        << 6 << 13 << QRect(0, 0, 347, 207) << QRect(0, 0, 521, 336);
    // A 16-pixel font twice as wide: 7 x 16. 21 * 7 / 4 = 36.75, 153 * 16 / 8 = 306.
    QTest::newRow("options label, 7x16")
        << 7 << 16 << QRect(21, 153, 108, 8) << QRect(37, 306, 189, 16);
    // 18 * 7 / 4 = 31.5, 10 * 16 / 8 = 20.
    QTest::newRow("options radio, 7x16")
        << 7 << 16 << QRect(186, 28, 18, 10) << QRect(326, 56, 32, 20);
}

void DialogUnitsTest::convertsWithTheBasesOfAFixedFont()
{
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFETCH(QRect, units);
    QFETCH(QRect, pixels);

    QCOMPARE(DialogUnits(baseX, baseY).toPixels(units), pixels);
}

void DialogUnitsTest::roundsHalvesAwayFromZero()
{
    const DialogUnits units(6, 12);
    QCOMPARE(units.toPixelsX(1), 2); // 1.5
    QCOMPARE(units.toPixelsX(-1), -2); // -1.5
    QCOMPARE(units.toPixelsX(3), 5); // 4.5
    QCOMPARE(units.toPixelsY(1), 2); // 1.5
    QCOMPARE(units.toPixelsY(5), 8); // 7.5
    QCOMPARE(units.toPixelsY(0), 0);
    // Bases below one would make every control vanish.
    QCOMPARE(DialogUnits(0, -3).toPixels(QSize(8, 16)), QSize(2, 2));
}

void DialogUnitsTest::basesComeFromTheAlphabetAndTheHeight()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    const QFontMetrics metrics(font);
    int alphabet = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        alphabet += metrics.horizontalAdvance(QLatin1Char(letter))
            + metrics.horizontalAdvance(QLatin1Char(letter + ('a' - 'A')));
    const DialogUnits units = DialogUnits::fromFont(font);
    // Letter by letter the advances may round differently from the whole string's: one pixel.
    QVERIFY2(qAbs(units.baseX() - (alphabet + 26) / 52) <= 1,
             qPrintable(QStringLiteral("base x %1 for an alphabet of %2 pixels")
                            .arg(units.baseX())
                            .arg(alphabet)));
    QCOMPARE(units.baseY(), metrics.height());
}

void DialogUnitsTest::biggerFontGivesBiggerDialog()
{
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(12);
    QFont large = small;
    large.setPixelSize(24);
    const QSize dialog(347, 207);
    const QSize smallPixels = DialogUnits::fromFont(small).toPixels(dialog);
    const QSize largePixels = DialogUnits::fromFont(large).toPixels(dialog);
    // Twice the font, about twice the dialog (each base rounds on its own).
    QVERIFY(largePixels.width() > smallPixels.width() * 17 / 10);
    QVERIFY(largePixels.height() > smallPixels.height() * 17 / 10);
}

QTEST_MAIN(DialogUnitsTest)
#include "DialogUnitsTest.moc"
