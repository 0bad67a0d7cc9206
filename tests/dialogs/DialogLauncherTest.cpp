// SPDX-License-Identifier: GPL-3.0-or-later
// The seam the main window calls: the dialogs through the launcher, the help through the
// external programs, the modeless dialog's slot.
#include "dialogs/ExternalPrograms.h"
#include "dialogs/ModelessSlot.h"
#include "dialogs/QtDialogLauncher.h"
#include "fakes/RecordingDialogLauncher.h"
#include "fakes/ScriptedDialogRunner.h"
#include "support/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;
using orva::test::ScriptedDialogRunner;

namespace {

/// Records the pages opened; starts nothing.
class RecordingPrograms final : public ExternalPrograms
{
public:
    bool start(ExternalProgram program) override
    {
        started.append(program);
        return true;
    }
    void terminate(ExternalProgram) override { }
    bool isRunning(ExternalProgram) const override { return false; }
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return opens;
    }

    QList<ExternalProgram> started;
    QList<QUrl> opened;
    bool opens = true;
};

} // namespace

class DialogLauncherTest : public QObject
{
    Q_OBJECT

private slots:
    void eachCallRunsItsDialogAndReturnsItsResult();
    void dialogsTakeTheTextsOfTheCurrentLanguage();
    void helpOpensThePageOfTheInterfaceLanguage();
    void missingHelpPageOpensNothing();
    void modelessSlotHoldsOneDialogAndDeletesItOnce();
};

void DialogLauncherTest::eachCallRunsItsDialogAndReturnsItsResult()
{
    ScriptedDialogRunner runner;
    RecordingPrograms programs;
    QtDialogLauncher launcher(nullptr, runner, programs, StringTable::german(), QString(), 0);

    runner.scripts << [](QDialog &dialog) {
        dialog.findChild<QComboBox *>()->setCurrentIndex(4);
        dialog.accept();
    };
    const LanguageChoice language = launcher.chooseLanguage(0);
    QCOMPARE(language.language, 5);

    runner.scripts << [](QDialog &dialog) {
        dialog.findChild<QCheckBox *>()->setChecked(true);
        dialog.accept();
    };
    QCOMPARE(launcher.showFirstSteps(), false);

    launcher.showAbout();
    launcher.showNotice(145);

    OptionValues values;
    values.dataDirectory = QStringLiteral("/data");
    values.trainSaveMode = 2;
    runner.scripts << [](QDialog &dialog) { dialog.reject(); };
    const OptionsChoice options = launcher.editOptions(values);
    QVERIFY(!options.accepted);
    QCOMPARE(options.values, values);

    QStringList titles;
    for (const ScriptedDialogRunner::Run &run : runner.runs)
        titles << run.title;
    QCOMPARE(titles,
             QStringList({ QStringLiteral("ORVA: Sprache"), QStringLiteral("ORVA: Erste Schritte"),
                           QStringLiteral("ORVA: Info"), QStringLiteral("ORVA Hinweis"),
                           QStringLiteral("ORVA: Optionen") }));
    QVERIFY(programs.opened.isEmpty());
}

void DialogLauncherTest::dialogsTakeTheTextsOfTheCurrentLanguage()
{
    const Result<StringTable> english =
        StringTable::load(QStringLiteral(ORVA_RESOURCES_DIR "/strings/en_uk.txt"));
    QVERIFY(english.ok());
    ScriptedDialogRunner runner;
    RecordingPrograms programs;
    QtDialogLauncher launcher(nullptr, runner, programs, StringTable::german(), QString(), 0);
    launcher.setStrings(english.value(), 2);
    launcher.showAbout();
    QCOMPARE(runner.runs.last().title, english.value().text(237));
    QVERIFY(runner.runs.last().title != StringTable::german().text(237));
}

void DialogLauncherTest::helpOpensThePageOfTheInterfaceLanguage()
{
    QTemporaryDir base;
    const QString page = QtDialogLauncher::helpPage(base.path(), 4);
    QCOMPARE(page, base.path() + QStringLiteral("/bin/fr_fr/help/index.html"));
    QVERIFY(QDir().mkpath(QFileInfo(page).path()));
    QFile file(page);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    ScriptedDialogRunner runner;
    RecordingPrograms programs;
    QtDialogLauncher launcher(nullptr, runner, programs, StringTable::german(), base.path(), 4);
    QVERIFY(launcher.openHelp());
    QCOMPARE(programs.opened, QList<QUrl>({ QUrl::fromLocalFile(page) }));

    programs.opens = false; // a desktop without a browser
    QVERIFY(!launcher.openHelp());
}

void DialogLauncherTest::missingHelpPageOpensNothing()
{
    QTemporaryDir base;
    ScriptedDialogRunner runner;
    RecordingPrograms programs;
    QtDialogLauncher launcher(nullptr, runner, programs, StringTable::german(), base.path(), 0);
    QVERIFY(!launcher.openHelp());
    QVERIFY(programs.opened.isEmpty());
    QVERIFY(runner.runs.isEmpty());
}

void DialogLauncherTest::modelessSlotHoldsOneDialogAndDeletesItOnce()
{
    QWidget owner;
    ModelessSlot slot;
    int destroyed = 0;
    auto *first = new QDialog(&owner);
    connect(first, &QObject::destroyed, this, [&] { ++destroyed; });
    QVERIFY(slot.open(first));
    QVERIFY(slot.isOpen());
    QVERIFY(first->isVisible());
    QVERIFY(!first->isModal());

    // A second dialog is refused and deleted; the first stays.
    auto *second = new QDialog(&owner);
    bool secondGone = false;
    connect(second, &QObject::destroyed, this, [&] { secondGone = true; });
    QVERIFY(!slot.open(second));
    QVERIFY(secondGone);
    QCOMPARE(slot.dialog(), first);

    // Closing from one of the dialog's own slots: the dialog lives until the event loop.
    connect(first, &QDialog::finished, this, [&] { slot.close(); });
    first->accept();
    QVERIFY(!slot.isOpen());
    QCOMPARE(destroyed, 0);
    slot.close(); // a second end, as from the audio's end after the button's
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(destroyed, 1);

    // The slot is free again.
    auto *third = new QDialog(&owner);
    QVERIFY(slot.open(third));
}

QTEST_MAIN(DialogLauncherTest)
#include "DialogLauncherTest.moc"
