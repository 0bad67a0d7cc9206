// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ClientFieldRules.h"

#include <QTest>

using namespace orva;

class ClientFieldRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void digitsFillTheMaskAndJumpOverSeparators();
    void backspaceAfterASeparatorClearsTheDigitBeforeIt();
    void selectionReturnsToTheMaskFirst();
    void americanDatesReadMonthFirst();
    void unfilledMaskReadsAsAnInvalidDate();
    void namesTakeLettersBlanksAndHyphens_data();
    void namesTakeLettersBlanksAndHyphens();
};

void ClientFieldRulesTest::digitsFillTheMaskAndJumpOverSeparators()
{
    const BirthdayMask mask(0);
    MaskedText field { mask.mask(), 0 };
    QCOMPARE(field.text, QStringLiteral("tt.mm.jjjj"));
    for (const char digit : QByteArray("17051980")) {
        field = mask.typeDigit(field.text, field.caret, field.caret, QLatin1Char(digit));
    }
    QCOMPARE(field.text, QStringLiteral("17.05.1980"));
    QCOMPARE(field.caret, 10);
    field = mask.typeDigit(field.text, field.caret, field.caret, QLatin1Char('4')); // a ninth digit
    QCOMPARE(field.text, QStringLiteral("17.05.1980"));
    QCOMPARE(mask.read(field.text), ORVA_Date(17, 5, 1980));
    QVERIFY(mask.read(field.text).isValid());
    QVERIFY(mask.read(QStringLiteral("31.02.2011")).isValid()); // only ranges are checked
}

void ClientFieldRulesTest::backspaceAfterASeparatorClearsTheDigitBeforeIt()
{
    const BirthdayMask mask(0);
    MaskedText field = mask.backspace(QStringLiteral("17.05.1980"), 3, 3);
    QCOMPARE(field.text, QStringLiteral("1_.05.1980"));
    QCOMPARE(field.caret, 1);
    field = mask.backspace(field.text, 5, 5);
    QCOMPARE(field.text, QStringLiteral("1_.0_.1980"));
    QCOMPARE(field.caret, 4);
    field = mask.backspace(field.text, 0, 0);
    QCOMPARE(field.caret, 0);
    QCOMPARE(mask.read(field.text), ORVA_Date(10, 0, 1980)); // "_" reads as 0
}

void ClientFieldRulesTest::selectionReturnsToTheMaskFirst()
{
    const BirthdayMask mask(4);
    QCOMPARE(mask.mask(), QStringLiteral("jj.mm.aaaa"));
    MaskedText field = mask.typeDigit(QStringLiteral("17.05.1980"), 0, 5, QLatin1Char('2'));
    QCOMPARE(field.text, QStringLiteral("2j.mm.1980"));
    QCOMPARE(field.caret, 1);
    field = mask.deleteSelection(QStringLiteral("17.05.1980"), 6, 10);
    QCOMPARE(field.text, QStringLiteral("17.05.aaaa"));
    QCOMPARE(field.caret, 10);
}

void ClientFieldRulesTest::americanDatesReadMonthFirst()
{
    const BirthdayMask american(1);
    QCOMPARE(american.mask(), QStringLiteral("mm/dd/yyyy"));
    QCOMPARE(american.read(QStringLiteral("03/05/2011")), ORVA_Date(5, 3, 2011));
    QCOMPARE(american.textFor(ORVA_Date(5, 3, 2011)), QStringLiteral("03/05/2011"));
    const BirthdayMask british(2);
    QCOMPARE(british.read(QStringLiteral("03/05/2011")), ORVA_Date(3, 5, 2011));
    QCOMPARE(british.textFor(ORVA_Date()), QStringLiteral("dd/mm/yyyy"));
}

void ClientFieldRulesTest::unfilledMaskReadsAsAnInvalidDate()
{
    const BirthdayMask mask(5);
    QVERIFY(!mask.read(mask.mask()).isValid());
    QVERIFY(!mask.read(QStringLiteral("17.05.19jj")).isValid());
    QVERIFY(!mask.read(QStringLiteral("17.05")).isValid());
}

void ClientFieldRulesTest::namesTakeLettersBlanksAndHyphens_data()
{
    QTest::addColumn<QChar>("c");
    QTest::addColumn<bool>("taken");
    QTest::newRow("a") << QChar('a') << true;
    QTest::newRow("Ü") << QChar(u'Ü') << true;
    QTest::newRow("ł") << QChar(u'ł') << true;
    QTest::newRow("blank") << QChar(' ') << true;
    QTest::newRow("hyphen") << QChar('-') << true;
    QTest::newRow("underscore") << QChar('_') << true;
    QTest::newRow("digit") << QChar('7') << false;
    QTest::newRow("slash") << QChar('/') << false;
    QTest::newRow("dot") << QChar('.') << false;
}

void ClientFieldRulesTest::namesTakeLettersBlanksAndHyphens()
{
    QFETCH(QChar, c);
    QFETCH(bool, taken);
    QCOMPARE(isNameCharacter(c), taken);
}

QTEST_GUILESS_MAIN(ClientFieldRulesTest)
#include "ClientFieldRulesTest.moc"
