// SPDX-License-Identifier: GPL-3.0-or-later
// The language, About, first-steps and notice dialogs, run headless through the scripted runner.
#include "dialogs/AboutDialog.h"
#include "dialogs/FirstStepsDialog.h"
#include "dialogs/LanguageDialog.h"
#include "dialogs/NoticeDialog.h"
#include "fakes/ScriptedDialogRunner.h"
#include "support/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace orva;
using orva::test::ScriptedDialogRunner;

namespace {

/// A script that picks the list entry named `name` and presses OK.
ScriptedDialogRunner::Script chooseEntry(const QString &name)
{
    return [name](QDialog &dialog) {
        auto *list = dialog.findChild<QComboBox *>();
        list->setCurrentIndex(list->findText(name));
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
}

ScriptedDialogRunner::Script pressCancel()
{
    return [](QDialog &dialog) {
        for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
            if (!button->isDefault())
                button->click();
        }
    };
}

} // namespace

class SmallDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void languageListOffersAllButSpanishInOrder();
    void languageOkReturnsTheChosenLanguage_data();
    void languageOkReturnsTheChosenLanguage();
    void languageOpensOnGermanForSpanishMaterialAndOkSwitchesToGerman();
    void languageCancelKeepsTheLanguage();
    void firstStepsSetsDoIntroFromTheCheckBox_data();
    void firstStepsSetsDoIntroFromTheCheckBox();
    void noticeShowsItsStringCutAndCentredOnTheScreen();
    void aboutShowsTheVersion();
};

void SmallDialogsTest::languageListOffersAllButSpanishInOrder()
{
    const StringTable &german = StringTable::german();
    LanguageDialog dialog(german, 1);
    auto *list = dialog.dialog().controlAs<QComboBox>(LanguageDialog::kListId);
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names << list->itemText(row);
    QCOMPARE(names,
             QStringList({ QStringLiteral("Deutsch"), QStringLiteral("Englisch US"),
                           QStringLiteral("Englisch UK"), QStringLiteral("Französisch"),
                           QStringLiteral("Polnisch") }));
    QCOMPARE(list->currentText(), QStringLiteral("Englisch US"));
    QCOMPARE(dialog.dialog().windowTitle(), QStringLiteral("ORVA: Sprache"));
}

void SmallDialogsTest::languageOkReturnsTheChosenLanguage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("language");
    QTest::newRow("Deutsch") << QStringLiteral("Deutsch") << 0;
    QTest::newRow("Englisch US") << QStringLiteral("Englisch US") << 1;
    QTest::newRow("Englisch UK") << QStringLiteral("Englisch UK") << 2;
    QTest::newRow("Französisch") << QStringLiteral("Französisch") << 4;
    QTest::newRow("Polnisch") << QStringLiteral("Polnisch") << 5;
}

void SmallDialogsTest::languageOkReturnsTheChosenLanguage()
{
    QFETCH(QString, name);
    QFETCH(int, language);

    ScriptedDialogRunner runner;
    runner.scripts << chooseEntry(name);
    LanguageDialog dialog(StringTable::german(), name == QStringLiteral("Deutsch") ? 5 : 0);
    const LanguageChoice choice = dialog.run(runner);
    QVERIFY(choice.accepted);
    QCOMPARE(choice.language, language);
    QCOMPARE(runner.runs.size(), 1);
    QCOMPARE(runner.runs[0].title, QStringLiteral("ORVA: Sprache"));
    QCOMPARE(runner.runs[0].answer, int(QDialog::Accepted));
}

void SmallDialogsTest::languageOpensOnGermanForSpanishMaterialAndOkSwitchesToGerman()
{
    ScriptedDialogRunner runner; // presses Return without touching the list
    LanguageDialog dialog(StringTable::german(), 3);
    QCOMPARE(dialog.dialog().controlAs<QComboBox>(LanguageDialog::kListId)->currentText(),
             QStringLiteral("Deutsch"));
    const LanguageChoice choice = dialog.run(runner);
    QVERIFY(choice.accepted);
    QCOMPARE(choice.language, 0);
}

void SmallDialogsTest::languageCancelKeepsTheLanguage()
{
    ScriptedDialogRunner runner;
    runner.scripts << [](QDialog &dialog) {
        dialog.findChild<QComboBox *>()->setCurrentIndex(4);
        pressCancel()(dialog);
    };
    LanguageDialog dialog(StringTable::german(), 2);
    const LanguageChoice choice = dialog.run(runner);
    QVERIFY(!choice.accepted);
    QCOMPARE(choice.language, 2);
    QCOMPARE(runner.runs[0].answer, int(QDialog::Rejected));
}

void SmallDialogsTest::firstStepsSetsDoIntroFromTheCheckBox_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("closedByWindow");
    QTest::addColumn<bool>("doIntro");
    QTest::newRow("OK, not checked") << false << false << true;
    QTest::newRow("OK, checked") << true << false << false;
    QTest::newRow("window closed, checked") << true << true << false;
    QTest::newRow("window closed, not checked") << false << true << true;
}

void SmallDialogsTest::firstStepsSetsDoIntroFromTheCheckBox()
{
    QFETCH(bool, checked);
    QFETCH(bool, closedByWindow);
    QFETCH(bool, doIntro);

    ScriptedDialogRunner runner;
    runner.scripts << [&](QDialog &dialog) {
        if (checked)
            QTest::mouseClick(dialog.findChild<QCheckBox *>(), Qt::LeftButton, {}, QPoint(5, 5));
        if (closedByWindow)
            dialog.reject(); // what the window's close button does
        else
            QTest::keyClick(&dialog, Qt::Key_Return);
    };
    FirstStepsDialog dialog(StringTable::german());
    QCOMPARE(dialog.dialog().windowTitle(), QStringLiteral("ORVA: Erste Schritte"));
    QCOMPARE(dialog.run(runner), doIntro);
}

void SmallDialogsTest::noticeShowsItsStringCutAndCentredOnTheScreen()
{
    const StringTable &german = StringTable::german();
    QWidget owner;
    owner.setGeometry(10, 10, 200, 100);

    NoticeDialog notice(german, 207, &owner);
    QCOMPARE(notice.dialog().windowTitle(), QStringLiteral("ORVA Hinweis"));
    QCOMPARE(notice.dialog().controlAs<QLabel>(NoticeDialog::kTextId)->text(), german.text(207));
    QVERIFY(notice.dialog().windowFlags() & Qt::WindowStaysOnTopHint);
    ScriptedDialogRunner runner;
    notice.run(runner);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize size = notice.dialog().size();
    QCOMPARE(notice.dialog().pos(),
             QPoint((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2));
    QCOMPARE(runner.runs.size(), 1);

    const Result<StringTable> longText =
        StringTable::parse(QByteArray("145=") + QByteArray(1500, 'x'), QStringLiteral("test"));
    QVERIFY(longText.ok());
    NoticeDialog cut(longText.value(), 145);
    QCOMPARE(cut.dialog().controlAs<QLabel>(NoticeDialog::kTextId)->text().size(),
             NoticeDialog::kMaxChars);
}

void SmallDialogsTest::aboutShowsTheVersion()
{
    AboutDialog about(StringTable::german());
    QCOMPARE(about.dialog().windowTitle(), QStringLiteral("ORVA: Info"));
    // The version as the settings file and the splash screen write it: 3.1.31 in this release.
    const QString version = about.dialog().controlAs<QLabel>(AboutDialog::kVersionId)->text();
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d\\d$")).match(version).hasMatch(),
             qPrintable(version));
    ScriptedDialogRunner runner;
    about.run(runner);
    QCOMPARE(runner.runs[0].answer, int(QDialog::Accepted));
}

QTEST_MAIN(SmallDialogsTest)
#include "SmallDialogsTest.moc"
