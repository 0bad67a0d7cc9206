// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScratchInstallation.h"
#include "TestTimers.h"
#include "audio/AudioSession.h"
#include "audio/LatencyProbe.h"
#include "audio/backends/FileAudio.h"
#include "dialogs/AudioSetupDialog.h"
#include "dialogs/InstructionDialog.h"
#include "engine/ClientDatabase.h"
#include "engine/LatencySelfTest.h"
#include "fakes/ExactAudioInput.h"
#include "fakes/ManualClock.h"
#include "fakes/ManualTimers.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/ScriptedAudioOutput.h"
#include "fakes/SoundLoop.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowContent.h"
#include "mainwindow/TimerHost.h"
#include "records/LatencyCalibration.h"
#include "records/Registry.h"
#include "records/RunFile.h"
#include "records/UserLog.h"
#include "support/TextIds.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace orva;
using orva::test::TestTimers;

namespace {

/// Types `text` as key presses, also letters that have no key of their own on a US keyboard.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(widget, c.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

} // namespace

/// The main window on the demo installation, driven by real key events, with the capture
/// replaced by onsets the test sends and time on a manual clock.
class MainWindowRunTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void birthdayMaskTakesDigitsAndJumpsOverTheDots();
    void nameFieldsDropDigitsAndTakeBlanksOutsideJudging();
    void menuFollowsTheProgramState();
    void preTestRunsByKeys();
    void runButtonsFollowWhatHappensInTheRun();
    void abortKeyClosesTheTrainingReport();
    void abortKeyEndsARunningTraining();
    void spaceInANameFieldJudgesOnlyWhileJudging();
    void savingNeedsNameAndBirthdayAndWritesTheRunFile();
    void saveUnderANameAddsTheExtensionOnlyWithoutADot();
    void twoRunsOfOneClientInOneMinuteAreBothKept();
    void databaseOpensAndDeletesExactlyTheChosenRun();
    void trainingSettingsWithoutACountLeaveTheTrainingRefused();
    void clientWithAVeryLongNameIsSavedWithItsHistory();
    void secondProgramOnTheSameDataFolderIsRefused();
    void closingDuringARunKeepsItsEntriesSoFar();
    void downloadedUpdateStartsOnlyOnceTheProgramHasClosed();
    void updateAskedDuringAnUnsavedRunStartsNothingAfterCancel();
    void saveFollowsTheSaveModes();
    void runWithoutAMicrophoneIsRefusedNamingTheInput();
    void latencyTestIsKeptForItsDevicesAndNotedInTheirRuns();
    void thresholdSliderKeysMoveTheWayItIsDrawn();
    void tabFollowsTheProgramsOrderFromTheFirstPress();
    void firstStartOpensTheAudioWizardOnce();
    void everyControlShowsItsToolTip_data();
    void everyControlShowsItsToolTip();
    void endedFromOutsideTheUnsavedRunIsOfferedAtTheNextStart();
    void newAsksAboutTheUnsavedRunAndTheClient();
    void dialogCommandsWaitWhileARunIsGoing();
    void dialogsApplyWhatTheyReturn();
    void instructionDialogShowsProgressAndItsOkEndsTheSound();
    void hearingCheckEndsByItselfAndFreesTheCommands();
    void missingHearingCheckRecordingLeavesTheProgramUsable();

private:
    /// The program on the test's installation, up to the shown main window.
    void start();
    MainWindowContent &content() { return *m_content; }
    void advanceMs(qint64 ms) { m_timers->timers.advanceMs(ms); }
    /// The client answers `ms` after the current syllable left, which is a lead after the timer
    /// that handed it to the output.
    void answerAfterMs(qint64 ms)
    {
        advanceMs((content().controller().syllableStartUs() + ms * 1000 - m_clock.nowUs()) / 1000);
        content().onAudioInput(m_clock.nowUs());
    }
    void finishVerification() { advanceMs(m_timers->timers.msUntil(WaitTimer)); }

    QString m_demo;
    std::unique_ptr<test::ScratchInstallation> m_installation;
    test::ManualClock m_clock;
    test::RecordingMessageBoxes m_boxes;
    std::unique_ptr<TestTimers> m_timers;
    std::unique_ptr<MainWindowContent> m_content;
    std::unique_ptr<MainWindow> m_window;
};

void MainWindowRunTest::initTestCase()
{
    m_demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(m_demo + QStringLiteral("/media/de_de/Silben81/ba.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
}

void MainWindowRunTest::init()
{
    m_installation = std::make_unique<test::ScratchInstallation>(m_demo);
    start();
}

void MainWindowRunTest::start()
{
    StartupOptions options = m_installation->options();
    m_timers = std::make_unique<TestTimers>(m_clock);
    options.timers = m_timers.get();
    m_boxes.boxes.clear();
    m_content = std::make_unique<MainWindowContent>(options, m_clock, m_boxes);
    m_timers->timers.onTimer = [this](int id) { m_content->onTimer(id); };
    m_window = std::make_unique<MainWindow>(*m_content, m_content->strings());
    m_window->resize(1200, 860);
    QVERIFY(m_content->onCreate(m_window.get()));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_content->onShown();
    m_window->activateWindow();
    m_boxes.boxes.clear();
}

void MainWindowRunTest::cleanup()
{
    m_window.reset();
    m_content.reset();
    m_timers.reset();
    m_installation.reset();
}

void MainWindowRunTest::birthdayMaskTakesDigitsAndJumpsOverTheDots()
{
    auto *birthday = qobject_cast<QLineEdit *>(content().child(1029));
    QCOMPARE(birthday->text(), QStringLiteral("tt.mm.jjjj"));
    birthday->setFocus();
    birthday->setCursorPosition(0);
    QTest::keyClicks(birthday, QStringLiteral("17051980"));
    QCOMPARE(birthday->text(), QStringLiteral("17.05.1980"));
    QCOMPARE(content().experiment().client().birthday(), ORVA_Date(17, 5, 1980));
    QTest::keyClick(birthday, Qt::Key_4); // a ninth digit is ignored
    QCOMPARE(birthday->text(), QStringLiteral("17.05.1980"));
    QTest::keyClick(birthday, Qt::Key_X);
    QCOMPARE(birthday->text(), QStringLiteral("17.05.1980"));
    birthday->setCursorPosition(3);
    QTest::keyClick(birthday, Qt::Key_Backspace);
    QCOMPARE(birthday->text(), QStringLiteral("1_.05.1980"));
    QCOMPARE(birthday->cursorPosition(), 1);
}

void MainWindowRunTest::nameFieldsDropDigitsAndTakeBlanksOutsideJudging()
{
    auto *lastName = qobject_cast<QLineEdit *>(content().child(1028));
    lastName->setFocus();
    typeText(lastName, QStringLiteral("Mül7ler Lüd"));
    QCOMPARE(lastName->text(), QStringLiteral("Müller Lüd"));
    QCOMPARE(content().experiment().client().lastName(),
             std::optional<QString>(QStringLiteral("Müller Lüd")));
    auto *firstName = qobject_cast<QLineEdit *>(content().child(1027));
    firstName->setFocus();
    QTest::keyClicks(firstName, QStringLiteral("Anna-Lena"));
    QCOMPARE(content().experiment().client().firstName(),
             std::optional<QString>(QStringLiteral("Anna-Lena")));
    // The program's own setting of a text is no input.
    firstName->setText(QStringLiteral("Programm"));
    QCOMPARE(content().experiment().client().firstName(),
             std::optional<QString>(QStringLiteral("Anna-Lena")));
}

void MainWindowRunTest::menuFollowsTheProgramState()
{
    const auto enabled = [&](int command) { return m_window->menuAction(command)->isEnabled(); };
    QVERIFY(enabled(32787) && enabled(32838) && !enabled(32792) && !enabled(32778));
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    QCOMPARE(content().controller().programState(), ProgramState::Delay);
    QVERIFY(!enabled(32787) && !enabled(32838) && enabled(32792) && !enabled(32776));
    QVERIFY(content().child(1019)->isVisible()); // the run buttons are shown
    QTest::keyClick(m_window.get(), Qt::Key_F8);
    QCOMPARE(content().controller().programState(), ProgramState::ExpCompleted);
    QVERIFY(enabled(32787) && enabled(32838) && !enabled(32792));
    QVERIFY(!content().child(1019)->isVisible());
    QVERIFY(content().child(1022)->isVisible()); // the evaluation after a run
}

void MainWindowRunTest::preTestRunsByKeys()
{
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    QVERIFY(!content().isGuideShown());
    advanceMs(2250);
    QCOMPARE(content().controller().programState(), ProgramState::WaitForAudio);
    int presented = 0;
    for (int i = 0; i < 12; ++presented) {
        answerAfterMs(500 + 10 * i);
        QCOMPARE(content().controller().programState(), ProgramState::WaitForKey);
        auto *wrong = qobject_cast<QPushButton *>(content().child(1019));
        QVERIFY(wrong->isEnabled());
        if (i == 2 && presented == 2) {
            QTest::keyClick(m_window.get(), Qt::Key_Space);
        } else if (i == 4 && presented == 4) {
            QTest::keyClick(m_window.get(), Qt::Key_Delete); // presented once more
            finishVerification();
            continue;
        }
        finishVerification();
        ++i;
    }
    QCOMPARE(presented, 13);
    const ORVA_Experiment &experiment = content().experiment();
    QCOMPARE(content().controller().runState(), RunState::Finished);
    QCOMPARE(content().controller().stateText(), QStringLiteral("komplett"));
    QCOMPARE(experiment.measurement(2).result, int(Wrong));
    QCOMPARE(experiment.measurement(4).result, int(Right));
    QCOMPARE(experiment.measurement(4).reactionTime, 540);
    for (int i = 0; i < 12; ++i)
        QCOMPARE(experiment.measurement(i).reactionTime, 500 + 10 * i);
    QCOMPARE(experiment.statistics()[0].count, 12);
    QDir().mkpath(QStringLiteral("artefacts"));
    m_window->grab().save(QStringLiteral("artefacts/pre-test-finished.png"));
}

void MainWindowRunTest::runButtonsFollowWhatHappensInTheRun()
{
    QWidget *wrong = content().child(int(RunButton::Wrong));
    QWidget *reject = content().child(int(RunButton::Reject));
    QWidget *abort = content().child(int(RunButton::Abort));
    const auto buttons = [&] {
        return QString::fromLatin1("%1%2%3")
            .arg(wrong->isEnabled() ? 'W' : '-')
            .arg(reject->isEnabled() ? 'R' : '-')
            .arg(abort->isEnabled() ? 'A' : '-');
    };
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    // The wrong button opens with the run, as it always has; it has nothing to judge yet.
    QCOMPARE(buttons(), QStringLiteral("W-A"));
    advanceMs(2250);
    QCOMPARE(content().controller().programState(), ProgramState::WaitForAudio);
    answerAfterMs(600);
    QCOMPARE(buttons(), QStringLiteral("WRA"));
    QTest::keyClick(m_window.get(), Qt::Key_Space);
    QCOMPARE(buttons(), QStringLiteral("--A"));
    finishVerification();
    // The next syllable: nothing to judge until its answer, and no answer cannot be wrong.
    QCOMPARE(content().controller().programState(), ProgramState::WaitForAudio);
    QCOMPARE(buttons(), QStringLiteral("--A"));
    advanceMs(content().experiment().answerWindow() + RunController::kScheduleLeadMs);
    QCOMPARE(content().controller().programState(), ProgramState::WaitForKey);
    QCOMPARE(buttons(), QStringLiteral("-RA"));
    QTest::keyClick(m_window.get(), Qt::Key_F8);
    QCOMPARE(content().controller().runState(), RunState::Aborted);
    QCOMPARE(buttons(), QStringLiteral("---"));
}

void MainWindowRunTest::abortKeyClosesTheTrainingReport()
{
    content().onCommand(Command::ReportView);
    auto *abort = qobject_cast<QPushButton *>(content().child(int(RunButton::Abort)));
    QVERIFY(abort->isEnabled());
    QCOMPARE(abort->text(), content().strings().text(Text::kCloseReportButton));
    QTest::keyClick(m_window.get(), Qt::Key_F8);
    QVERIFY(!abort->isEnabled());
    QCOMPARE(abort->text(), content().strings().text(Text::kAbortButton));
    QCOMPARE(content().controller().programState(), ProgramState::Idle);
    QCOMPARE(content().controller().runState(), RunState::Empty);
    // F8 in the main view with nothing running does nothing.
    QTest::keyClick(m_window.get(), Qt::Key_F8);
    QCOMPARE(content().controller().programState(), ProgramState::Idle);
}

void MainWindowRunTest::abortKeyEndsARunningTraining()
{
    QTest::keyClick(m_window.get(), Qt::Key_F4);
    advanceMs(2250);
    answerAfterMs(700);
    finishVerification();
    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QCOMPARE(content().controller().runState(), RunState::Aborted);
    QCOMPARE(content().controller().stateText(), QStringLiteral("abgebrochen"));
    QCOMPARE(content().experiment().statistics()[0].count, 1);
}

void MainWindowRunTest::spaceInANameFieldJudgesOnlyWhileJudging()
{
    auto *firstName = qobject_cast<QLineEdit *>(content().child(1027));
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    advanceMs(2250);
    firstName->setFocus();
    QTest::keyClick(firstName, Qt::Key_Space); // waiting for the answer: a blank in the field
    QCOMPARE(firstName->text(), QStringLiteral(" "));
    answerAfterMs(600);
    firstName->setFocus();
    QTest::keyClick(firstName, Qt::Key_Space); // judging: the syllable is wrong
    QCOMPARE(firstName->text(), QStringLiteral(" "));
    QCOMPARE(content().experiment().measurement(0).result, int(Wrong));
}

namespace {

void runWholePreTest(MainWindowContent &content,
                     test::ManualClock &clock,
                     test::ManualTimers &timers)
{
    content.onCommand(32787);
    timers.advanceMs(2250);
    for (int i = 0; i < 12; ++i) {
        timers.advanceMs(450);
        content.onAudioInput(clock.nowUs());
        timers.advanceMs(timers.msUntil(WaitTimer));
    }
    QCOMPARE(content.controller().runState(), RunState::Finished);
}

} // namespace

void MainWindowRunTest::savingNeedsNameAndBirthdayAndWritesTheRunFile()
{
    runWholePreTest(content(), m_clock, m_timers->timers);
    content().onCommand(32778);
    QCOMPARE(m_boxes.boxes.last().text, content().strings().text(141));
    QCOMPARE(content().controller().runState(), RunState::Finished);

    ORVA_Proband &client = content().experiment().client();
    client.setLastName(QStringLiteral("Meier"));
    client.setFirstName(QStringLiteral("Anna"));
    client.birthday() = ORVA_Date(5, 3, 2011);
    client.runDate() = ORVA_Date(17, 5, 2024, 14, 30);
    content().onCommand(32778);
    QCOMPARE(m_boxes.boxes.last().text, content().strings().text(151));
    const QString file =
        m_installation->path(QStringLiteral("data/de_de/Meier-Anna_24-05-17_14-30-VT12.orv"));
    QVERIFY(QFile::exists(file));
    QCOMPARE(content().controller().runState(), RunState::Saved);
    QCOMPARE(content().clientList().clients().size(), 1);
    QVERIFY(!m_window->menuAction(32778)->isEnabled()); // saved: nothing left to save
}

void MainWindowRunTest::saveUnderANameAddsTheExtensionOnlyWithoutADot()
{
    QStringList asked;
    QString answer;
    StartupOptions options = m_installation->options();
    // A second main window on the same installation, whose save dialog the test answers.
    cleanup();
    m_installation = std::make_unique<test::ScratchInstallation>(m_demo);
    options = m_installation->options();
    m_timers = std::make_unique<TestTimers>(m_clock);
    options.timers = m_timers.get();
    options.chooseSavePath = [&](const QString &folder, const QString &proposed,
                                 const QString &title, const QString &filters) {
        asked = { folder, proposed, title, filters };
        return answer;
    };
    m_content = std::make_unique<MainWindowContent>(options, m_clock, m_boxes);
    m_timers->timers.onTimer = [this](int id) { m_content->onTimer(id); };
    m_window = std::make_unique<MainWindow>(*m_content, m_content->strings());
    QVERIFY(m_content->onCreate(m_window.get()));
    runWholePreTest(content(), m_clock, m_timers->timers);
    ORVA_Proband &client = content().experiment().client();
    client.setLastName(QStringLiteral("Meier"));
    client.birthday() = ORVA_Date(5, 3, 2011);
    client.runDate() = ORVA_Date(17, 5, 2024, 14, 30);

    answer = m_installation->path(QStringLiteral("data/de_de/eigener Name"));
    content().onCommand(32811);
    QCOMPARE(asked.value(0), m_installation->path(QStringLiteral("data/de_de")));
    QCOMPARE(asked.value(1), QStringLiteral("Meier_24-05-17_14-30-VT12.orv"));
    QCOMPARE(asked.value(2), QStringLiteral("Speichere orv-Datei"));
    QCOMPARE(asked.value(3), QStringLiteral("orv-Datei (*.orv);;Alle Dateien (*.*)"));
    QVERIFY(QFile::exists(answer + QStringLiteral(".orv")));
    QCOMPARE(content().controller().runState(), RunState::Saved);

    answer = m_installation->path(QStringLiteral("data/de_de/Ergebnis.txt"));
    content().onCommand(32811);
    QVERIFY(QFile::exists(answer));
    answer.clear(); // cancelled
    content().onCommand(32811);

    // An existing file is replaced only when the operator says so.
    answer = m_installation->path(QStringLiteral("data/de_de/Ergebnis.txt"));
    QFile existing(answer);
    QVERIFY(existing.open(QIODevice::WriteOnly | QIODevice::Truncate));
    existing.write("kept");
    existing.close();
    m_boxes.boxes.clear();
    m_boxes.answers = { MessageAnswer::No };
    content().onCommand(32811);
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].icon, MessageIcon::Question);
    QVERIFY(m_boxes.boxes[0].text.contains(answer));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("kept"));
    existing.close();
    m_boxes.answers = { MessageAnswer::Yes };
    content().onCommand(32811);
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QVERIFY(existing.readAll().contains("ORVA Experiment 2.0"));
}

void MainWindowRunTest::clientWithAVeryLongNameIsSavedWithItsHistory()
{
    const QString name(300, QLatin1Char('x'));
    ORVA_Proband &client = content().experiment().client();
    client.setLastName(name);
    client.birthday() = ORVA_Date(5, 3, 2011);
    runWholePreTest(content(), m_clock, m_timers->timers);
    content().onCommand(32778);
    QCOMPARE(m_boxes.boxes.last().text, content().strings().text(151));
    const QStringList runs =
        QDir(m_installation->path(QStringLiteral("data/de_de"))).entryList(QDir::Files);
    QCOMPARE(runs.size(), 1);
    RunFileContent run;
    QCOMPARE(RunFile::read(m_installation->path(QStringLiteral("data/de_de/")) + runs[0], 0, run),
             0);
    QCOMPARE(run.client.lastName(), std::optional<QString>(name)); // the whole name inside
    UserLog history([] { return 0; });
    QVERIFY(history.load(m_installation->path(QStringLiteral("data/%1.orl"))
                             .arg(QString(ClientFiles::kMaxNamePartBytes, QLatin1Char('x')))));
    QCOMPARE(history.entries().size(), 1);
}

void MainWindowRunTest::twoRunsOfOneClientInOneMinuteAreBothKept()
{
    ORVA_Proband &client = content().experiment().client();
    client.setLastName(QStringLiteral("Meier"));
    client.setFirstName(QStringLiteral("Anna"));
    client.birthday() = ORVA_Date(5, 3, 2011);
    const QString folder = m_installation->path(QStringLiteral("data/de_de"));
    for (int run = 0; run < 2; ++run) {
        runWholePreTest(content(), m_clock, m_timers->timers);
        content().experiment().measurement(0).result = run == 0 ? Right : Wrong;
        client.runDate() = ORVA_Date(17, 5, 2024, 14, 30);
        m_boxes.boxes.clear();
        content().onCommand(32778);
        QCOMPARE(m_boxes.boxes.last().text, content().strings().text(151));
    }
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name),
             QStringList({ QStringLiteral("Meier-Anna_24-05-17_14-30-VT12-2.orv"),
                           QStringLiteral("Meier-Anna_24-05-17_14-30-VT12.orv") }));
    for (const QString &name : QDir(folder).entryList(QDir::Files)) {
        RunFileContent run;
        QCOMPARE(RunFile::read(folder + QLatin1Char('/') + name, 0, run), 0);
        QCOMPARE(run.measurements.size(), 12);
    }
    QCOMPARE(content().clientList().clients().size(), 1);
    QCOMPARE(content().clientList().runs().value(0).size(), 2);
}

void MainWindowRunTest::databaseOpensAndDeletesExactlyTheChosenRun()
{
    twoRunsOfOneClientInOneMinuteAreBothKept();
    const QString folder = m_installation->path(QStringLiteral("data/de_de"));
    const QString first = folder + QStringLiteral("/Meier-Anna_24-05-17_14-30-VT12.orv");
    const QString second = folder + QStringLiteral("/Meier-Anna_24-05-17_14-30-VT12-2.orv");
    const auto rowOf = [](const ClientDatabase &database, const QString &path) {
        for (int row = 0; row < database.runCount(); ++row) {
            if (database.runAt(row)->runFile() == path)
                return row;
        }
        return -1;
    };
    test::RecordingDialogLauncher &dialogs = m_installation->dialogs;

    // Both runs match one name pattern; the one clicked is the one opened.
    dialogs.clientDatabase = [&](ClientDatabase &database, const auto &) {
        database.open();
        if (!database.clickClient(0) || !database.clickRun(rowOf(database, second)))
            return int(ClientDatabase::kNothingChosen);
        return database.accept();
    };
    m_boxes.boxes.clear();
    content().onCommand(32842);
    QVERIFY(m_boxes.boxes.isEmpty());
    QCOMPARE(content().controller().programState(), ProgramState::DataLoaded);
    QCOMPARE(content().controller().runState(), RunState::Loaded);
    QCOMPARE(content().experiment().measurement(0).result, int(Wrong));

    // Deleting the first leaves the second, whatever the listing order.
    dialogs.clientDatabase = [&](ClientDatabase &database, const auto &deleteRun) {
        database.open();
        if (!database.clickClient(0) || !database.clickRun(rowOf(database, first)))
            return int(ClientDatabase::kNothingChosen);
        const ORVA_Proband *run = database.runToDelete();
        if (run && deleteRun(*run))
            database.reloadAfterDeletion();
        return database.accept();
    };
    content().onCommand(32842);
    QVERIFY(!QFile::exists(first));
    QVERIFY(QFile::exists(second));
    QCOMPARE(m_boxes.boxes.last().text, content().strings().text(306));
    QCOMPARE(content().clientList().runs().value(0).size(), 1);
    // The client stayed chosen: OK continued with the client, no run was opened.
    QCOMPARE(content().controller().programState(), ProgramState::Idle);
    QCOMPARE(content().experiment().client().lastName(),
             std::optional<QString>(QStringLiteral("Meier")));

    // A run whose file went after the list was read is not replaced by another file of its
    // minute: the operator is told it cannot be opened.
    dialogs.clientDatabase = [&](ClientDatabase &database, const auto &) {
        database.open();
        if (!database.clickClient(0) || !database.clickRun(0))
            return int(ClientDatabase::kNothingChosen);
        QFile::rename(second, first);
        return database.accept();
    };
    m_boxes.boxes.clear();
    content().onCommand(32842);
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].text, content().strings().text(137));
    QVERIFY(content().controller().programState() != ProgramState::DataLoaded);
}

void MainWindowRunTest::trainingSettingsWithoutACountLeaveTheTrainingRefused()
{
    test::RecordingDialogLauncher &dialogs = m_installation->dialogs;
    dialogs.trainingSettings = [](ORVA_Experiment &experiment) {
        experiment.client().setRepetitions(0);
        return true;
    };
    content().onCommand(32824);
    QCOMPARE(dialogs.calls.last(), QStringLiteral("training settings"));
    QCOMPARE(content().controller().programState(), ProgramState::Idle);
    m_boxes.boxes.clear();
    content().onCommand(32785);
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].text, content().strings().text(917));
    QVERIFY(!content().controller().isRunActive());
}

void MainWindowRunTest::newAsksAboutTheUnsavedRunAndTheClient()
{
    content().experiment().client().setLastName(QStringLiteral("Meier"));
    runWholePreTest(content(), m_clock, m_timers->timers);
    m_boxes.answers = { MessageAnswer::No, MessageAnswer::No }; // don't save; a new client
    content().onCommand(32776);
    QCOMPARE(m_boxes.boxes.size(), 2);
    QCOMPARE(m_boxes.boxes[0].text, content().strings().text(153));
    QCOMPARE(m_boxes.boxes[1].text, content().strings().text(139));
    QVERIFY(!content().experiment().client().lastName());
    QCOMPARE(content().controller().runState(), RunState::Empty);
    QCOMPARE(content().controller().programState(), ProgramState::Idle);

    // An aborted run with the save mode "when complete" is not asked about.
    content().experiment().client().setLastName(QStringLiteral("Meier"));
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    QTest::keyClick(m_window.get(), Qt::Key_F8);
    m_boxes.boxes.clear();
    m_boxes.answers = { MessageAnswer::Yes }; // the same client
    content().onCommand(32776);
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].text, content().strings().text(139));
    QCOMPARE(content().experiment().client().lastName(),
             std::optional<QString>(QStringLiteral("Meier")));
}

void MainWindowRunTest::dialogCommandsWaitWhileARunIsGoing()
{
    // During the countdown no box may take the verdict keys away, and no dialog opens.
    content().onCommand(32787);
    QVERIFY(content().controller().isRunActive());
    m_boxes.boxes.clear();
    for (int command : { 32829, 32824, 32842, 32838, 32841, 32827, 32828, 32816, 32781, 32818 })
        content().onCommand(command);
    QTest::keyClick(m_window.get(), Qt::Key_F5);
    QTest::keyClick(m_window.get(), Qt::Key_F9);
    QVERIFY(m_boxes.boxes.isEmpty());
    QVERIFY(m_installation->dialogs.calls.isEmpty());
    QVERIFY(m_installation->programs.started.isEmpty());
    QVERIFY(content().controller().isRunActive());
}

void MainWindowRunTest::dialogsApplyWhatTheyReturn()
{
    test::RecordingDialogLauncher &dialogs = m_installation->dialogs;
    content().onCommand(104);
    QCOMPARE(dialogs.calls, QStringList { QStringLiteral("about") });

    // The language: the material and the client list of the chosen language.
    dialogs.language = { true, EN_UK };
    content().onCommand(32841);
    QCOMPARE(dialogs.calls.last(), QStringLiteral("language 0"));
    QCOMPARE(content().experiment().expLanguage(), int(EN_UK));
    QCOMPARE(content().settings().expLanguage, int(EN_UK));
    QCOMPARE(content().experiment().languageCode(), QStringLiteral("en_uk"));
    dialogs.language = {};
    content().onCommand(32841); // Abbrechen keeps it
    QCOMPARE(content().experiment().expLanguage(), int(EN_UK));

    // The options: the modes reach the run controller, the folder the client list.
    QDir(m_installation->path(QString())).mkpath(QStringLiteral("elsewhere/en_uk"));
    dialogs.optionsAccepted = true;
    dialogs.options = OptionValues::fromSettings(content().settings());
    dialogs.options.preTestSaveMode = 0;
    dialogs.options.dataDirectory = m_installation->path(QStringLiteral("elsewhere"));
    m_boxes.boxes.clear();
    content().onCommand(32838);
    QCOMPARE(content().controller().fileRules().saveMode[0], 0);
    QCOMPARE(content().settings().dataDirectory, dialogs.options.dataDirectory);
    QVERIFY(m_boxes.boxes.isEmpty()); // the folder exists: no question

    // A folder that is not there is asked about after the dialog; No keeps it.
    dialogs.options.dataDirectory = m_installation->path(QStringLiteral("nowhere"));
    m_boxes.answers = { MessageAnswer::No };
    content().onCommand(32838);
    QCOMPARE(m_boxes.boxes.size(), 1);
    QVERIFY(m_boxes.boxes[0].text.contains(dialogs.options.dataDirectory));

    // The help through the desktop, a box when it cannot be opened; a mixer that cannot be
    // started says so.
    dialogs.helpOpens = false;
    m_boxes.boxes.clear();
    content().onCommand(32836);
    QCOMPARE(dialogs.calls.last(), QStringLiteral("help"));
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].text, content().strings().text(137));
    m_installation->programs.startsPrograms = false;
    content().onCommand(32827);
    QCOMPARE(m_installation->programs.started,
             QList<ExternalProgram> { ExternalProgram::PlaybackMixer });
    QCOMPARE(m_boxes.boxes.size(), 2);
    QVERIFY(m_boxes.boxes[1].text.contains(m_window->commandText(32827)));
}

void MainWindowRunTest::instructionDialogShowsProgressAndItsOkEndsTheSound()
{
    const auto enabled = [&](int command) { return m_window->menuAction(command)->isEnabled(); };
    ModelessSlot &slot = m_installation->dialogs.slot;
    QTest::keyClick(m_window.get(), Qt::Key_F5);
    QCOMPARE(content().controller().programState(), ProgramState::OtherAudio);
    QPointer<InstructionDialog> dialog = dynamic_cast<InstructionDialog *>(slot.dialog());
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible() && !dialog->isModal());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("ORVA: Einweisung"));
    QVERIFY(dialog->isRepainting());
    // No run, no second playback and no settings while it plays.
    QVERIFY(!enabled(32787) && !enabled(32781) && !enabled(32818) && !enabled(32838));
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    QTest::keyClick(m_window.get(), Qt::Key_F9);
    QCOMPARE(content().controller().programState(), ProgramState::OtherAudio);
    QVERIFY(m_installation->dialogs.calls.isEmpty()); // no notice of the hearing check

    // The bar: empty at the start, half at half the recording, full at its end and after.
    const QRect bar = dialog->progressBarRect();
    QCOMPARE(dialog->progressBar()->geometry(), bar);
    QCOMPARE(bar.left(), 20);
    QCOMPARE(bar.width(), dialog->width() - 40);
    QCOMPARE(bar.height(), 20);
    QCOMPARE(dialog->filledWidth(), 0);
    // The demo's child instruction is some seconds long; its length comes from its header here.
    QFile recording(m_installation->path(QStringLiteral("media/de_de/child_in.wav")));
    QVERIFY(recording.open(QIODevice::ReadOnly));
    const QByteArray header = recording.read(44);
    QCOMPARE(header.mid(36, 4), QByteArray("data")); // the plain header sox writes
    const qint64 dataBytes = qFromLittleEndian<quint32>(header.constData() + 40);
    const qint64 bytesPerSecond = qFromLittleEndian<quint32>(header.constData() + 28);
    const qint64 lengthMs = dataBytes * 1000 / bytesPerSecond;
    QVERIFY(lengthMs > 1000);
    m_clock.advanceUs(lengthMs * 500);
    QVERIFY2(qAbs(dialog->filledWidth() - bar.width() / 2) <= 1,
             qPrintable(QString::number(dialog->filledWidth())));
    m_clock.advanceUs(lengthMs * 500);
    QCOMPARE(dialog->filledWidth(), bar.width());
    m_clock.advanceMs(10'000);
    QCOMPARE(dialog->filledWidth(), bar.width());
    // Still playing: the instruction ends only with its dialog.
    QCOMPARE(content().controller().programState(), ProgramState::OtherAudio);

    // Return presses OK: idle again, the slot free at once, the dialog deleted by the event loop.
    QTest::keyClick(dialog, Qt::Key_Return);
    QCOMPARE(content().controller().programState(), ProgramState::Idle);
    QVERIFY(!slot.isOpen());
    QVERIFY(enabled(32787) && enabled(32781) && enabled(32838));
    QTRY_VERIFY(dialog.isNull());
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    QVERIFY(content().controller().isRunActive());
}

void MainWindowRunTest::hearingCheckEndsByItselfAndFreesTheCommands()
{
    QTest::keyClick(m_window.get(), Qt::Key_F9);
    QCOMPARE(m_installation->dialogs.calls,
             (QStringList { QStringLiteral("notice 145"), QStringLiteral("notice 207") }));
    QCOMPARE(content().controller().programState(), ProgramState::OtherAudio);
    QVERIFY(!m_installation->dialogs.slot.isOpen()); // no dialog of its own
    QVERIFY(!m_window->menuAction(32787)->isEnabled());
    const qint64 untilEnd = m_timers->timers.msUntil(MainWindowContent::kHearingCheckTimer);
    QVERIFY(untilEnd > 1000);
    advanceMs(untilEnd - 1);
    QCOMPARE(content().controller().programState(), ProgramState::OtherAudio);
    advanceMs(1);
    QCOMPARE(content().controller().programState(), ProgramState::Idle);
    QVERIFY(!m_timers->timers.isRunning(MainWindowContent::kHearingCheckTimer));
    QVERIFY(m_window->menuAction(32787)->isEnabled());
    QVERIFY(m_boxes.boxes.isEmpty());
}

void MainWindowRunTest::missingHearingCheckRecordingLeavesTheProgramUsable()
{
    // The installation's recordings, all but the hearing check's.
    const QString media = m_installation->path(QStringLiteral("media"));
    QVERIFY(QFile::remove(media));
    QVERIFY(QDir().mkpath(media));
    const QDir demoMedia(m_demo + QStringLiteral("/media"));
    for (const QString &entry : demoMedia.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry != QStringLiteral("Hoertest01.wav"))
            QVERIFY(QFile::link(demoMedia.filePath(entry), media + u'/' + entry));
    }
    QList<qsizetype> boxesAtNotices;
    m_installation->dialogs.noticeShown = [&](int) { boxesAtNotices << m_boxes.boxes.size(); };

    QTest::keyClick(m_window.get(), Qt::Key_F9);
    QCOMPARE(m_installation->dialogs.calls,
             (QStringList { QStringLiteral("notice 145"), QStringLiteral("notice 207") }));
    QCOMPARE(boxesAtNotices, (QList<qsizetype> { 0, 0 }));
    QStringList texts;
    for (const auto &box : m_boxes.boxes)
        texts << box.text;
    QCOMPARE(m_boxes.boxes.size(), 2);
    QVERIFY2(texts[0].startsWith(QStringLiteral("Load WAV-File: Couldnt create file handle")),
             qPrintable(texts[0]));
    QCOMPARE(texts[1], QStringLiteral("Audiodatei für Hörtest nicht gefunden."));
    QCOMPARE(m_boxes.boxes[1].title, QStringLiteral("ORVA Fehler"));
    QCOMPARE(m_boxes.boxes[1].icon, MessageIcon::Error);

    QCOMPARE(content().controller().programState(), ProgramState::Idle);
    QVERIFY(m_window->menuAction(32787)->isEnabled());
    QVERIFY(!m_timers->timers.isRunning(MainWindowContent::kHearingCheckTimer));
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    QVERIFY(content().controller().isRunActive());
    QCOMPARE(content().experiment().mode(), int(PreTest));
    m_installation->dialogs.noticeShown = nullptr;
}

void MainWindowRunTest::secondProgramOnTheSameDataFolderIsRefused()
{
    const QString settings = m_installation->path(QStringLiteral("bin/ORVA.ini"));
    QFile::remove(settings);
    {
        StartupOptions options = m_installation->options();
        TestTimers timers(m_clock);
        options.timers = &timers;
        MainWindowContent second(options, m_clock, m_boxes);
        MainWindow window(second, second.strings());
        QVERIFY(!second.onCreate(&window));
        QCOMPARE(second.exitCode(), -1);
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_boxes.boxes[0].icon, MessageIcon::Error);
        QVERIFY2(m_boxes.boxes[0].text.contains(m_installation->path(QStringLiteral("data"))),
                 qPrintable(m_boxes.boxes[0].text));
    }
    QVERIFY(!QFile::exists(settings)); // the refused program wrote no settings
    // Once the first program has ended, the next one starts.
    cleanup();
    init();
    QVERIFY(content().exitCode() == 0);
}

void MainWindowRunTest::firstStartOpensTheAudioWizardOnce()
{
    QVERIFY(content().settings().doAudioIntro);
    advanceMs(1000); // the first-run help is due one second after the start
    QVERIFY(!m_timers->timers.isRunning(WaitTimer));
    QVERIFY(dynamic_cast<AudioSetupDialog *>(m_installation->dialogs.slot.dialog()));
    QCOMPARE(content().controller().programState(), ProgramState::TestAudio);
    QVERIFY(!content().settings().doAudioIntro); // shown, so not again at the next start
    QVERIFY(m_installation->dialogs.calls.isEmpty()); // the first-steps dialog waits
    // The level meter keeps running beside it.
    QVERIFY(m_timers->timers.isRunning(MainWindowContent::kLevelMeterTimer));
}

void MainWindowRunTest::everyControlShowsItsToolTip_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("text");
    QTest::newRow("last name") << 1028 << 194;
    QTest::newRow("first name") << 1027 << 193;
    QTest::newRow("birthday") << 1029 << 195;
    QTest::newRow("comment") << 1031 << 197;
    QTest::newRow("threshold") << 1010 << 198;
    QTest::newRow("level meter") << 1048 << 177;
}

void MainWindowRunTest::everyControlShowsItsToolTip()
{
    QFETCH(int, id);
    QFETCH(int, text);
    QWidget *control = content().child(id);
    QVERIFY(control && control->isVisible());
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control))
        control = area->viewport(); // where a text box gets its mouse
    const QPoint inside = control->rect().center();
    QMouseEvent move(QEvent::MouseMove, inside, control->mapToGlobal(inside), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control, &move);
    advanceMs(1100); // the tip shows after the mouse rested a second
    QLabel *box = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("toolTip"))
            box = qobject_cast<QLabel *>(widget);
    }
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->text(), content().strings().text(text));
}

void MainWindowRunTest::tabFollowsTheProgramsOrderFromTheFirstPress()
{
    QWidget *canvas = m_window->canvas();
    canvas->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTRY_VERIFY(canvas->hasFocus());
    // last name, first name, birthday, threshold, comment, and round again
    for (int id : { 1028, 1027, 1029, 1010, 1031, 1028 }) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(content().child(id)->hasFocus(), qPrintable(QString::number(id)));
    }
    canvas->setFocus();
    QTRY_VERIFY(canvas->hasFocus());
    QTest::keyClick(canvas, Qt::Key_Backtab, Qt::ShiftModifier); // from no field: the first
    QVERIFY(content().child(1028)->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(content().child(1031)->hasFocus());
}

void MainWindowRunTest::thresholdSliderKeysMoveTheWayItIsDrawn()
{
    auto *slider = qobject_cast<QSlider *>(content().child(1010));
    QVERIFY(slider);
    QCOMPARE(content().settings().threshold, -40);
    slider->setFocus();
    const auto thumbY = [&] {
        QStyleOptionSlider option;
        option.initFrom(slider);
        option.orientation = Qt::Vertical;
        option.minimum = slider->minimum();
        option.maximum = slider->maximum();
        option.sliderPosition = slider->value();
        option.sliderValue = slider->value();
        // As QSlider fills it: a vertical slider is drawn upside down unless inverted.
        option.upsideDown = !slider->invertedAppearance();
        return slider->style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
            .center()
            .y();
    };
    const int before = thumbY();
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(slider, Qt::Key_Down);
    QCOMPARE(content().settings().threshold, -45); // lower on the scale: quieter onsets count
    QVERIFY2(thumbY() > before, "Down moves the thumb down");
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(slider, Qt::Key_Up);
    QCOMPARE(content().settings().threshold, -40);
    QCOMPARE(thumbY(), before);
}

void MainWindowRunTest::runWithoutAMicrophoneIsRefusedNamingTheInput()
{
    // A sound session whose output plays into nothing and that has no input at all.
    AudioSession session(m_clock);
    session.setOutput(makeAudioOutput(QStringLiteral("none"), m_clock));
    QVERIFY(session.startOutput().isOk());
    content().setAudioSession(&session);
    m_boxes.boxes.clear();
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    QCOMPARE(content().controller().programState(), ProgramState::Idle);
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].icon, MessageIcon::Warning);
    QVERIFY2(m_boxes.boxes[0].text.contains(
                 content().strings().text(911).arg(content().audioInputSetting())),
             qPrintable(m_boxes.boxes[0].text));
    QVERIFY(!m_boxes.boxes[0].text.contains(content().strings().text(910).left(20)));
    content().setAudioSession(nullptr);
}

void MainWindowRunTest::latencyTestIsKeptForItsDevicesAndNotedInTheirRuns()
{
    // A loop of 12.5 ms from the output back into the input, both timed exactly.
    test::SoundLoop loop(m_clock, 551);
    QVERIFY(loop.session.startOutput().isOk());
    content().setAudioSession(&loop.session);
    content().onShown(); // the capture starts on the session's input
    QVERIFY(m_window->menuAction(32850)->isEnabled());

    test::RecordingDialogLauncher &dialogs = m_installation->dialogs;
    dialogs.latencyTest = [&](LatencySelfTest &test) {
        QVERIFY(test.start());
        loop.play(test.durationMs());
        QCOMPARE(int(test.finish().outcome), int(LatencyProbe::Outcome::Measured));
        QVERIFY(test.keep().ok());
    };
    content().onCommand(32850);
    QCOMPARE(dialogs.calls.last(), QStringLiteral("latency-test"));
    const LatencyCalibration kept =
        LatencyCalibration::read(Registry(m_installation->options().registry));
    QVERIFY(kept.isFor(QStringLiteral("scripted"), QStringLiteral("exact input")));
    QVERIFY(std::abs(kept.offsetMs - 12.494) < 0.03);

    // A run on these devices says in its comment what was taken off.
    m_boxes.boxes.clear();
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    QVERIFY(m_boxes.boxes.isEmpty());
    QVERIFY2(content().experiment().comment().contains(QStringLiteral("12.49")),
             qPrintable(content().experiment().comment()));
    QVERIFY(!m_window->menuAction(32850)->isEnabled());
    QTest::keyClick(m_window.get(), Qt::Key_F8);

    // On another microphone the operator is asked first; "No" starts nothing.
    loop.input->name = QStringLiteral("PulseAudio source usb-headset");
    m_boxes.answers = { MessageAnswer::No };
    const ProgramState before = content().controller().programState();
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    QCOMPARE(m_boxes.boxes.size(), 1);
    QVERIFY(m_boxes.boxes[0].text.contains(QStringLiteral("usb-headset")));
    QCOMPARE(content().controller().programState(), before);
    QCOMPARE(content().controller().runState(), RunState::Aborted);
    content().setAudioSession(nullptr);
}

void MainWindowRunTest::saveFollowsTheSaveModes()
{
    ORVA_Proband &client = content().experiment().client();
    client.setLastName(QStringLiteral("Meier"));
    client.birthday() = ORVA_Date(5, 3, 2011);
    const QDir folder(m_installation->path(QStringLiteral("data/de_de")));
    const auto saveEnabled = [&] { return m_window->menuAction(32778)->isEnabled(); };
    const auto saveAsEnabled = [&] { return m_window->menuAction(32811)->isEnabled(); };

    // "Only a complete run" (the default): an aborted pre-test is not offered for saving.
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    advanceMs(2250);
    answerAfterMs(600);
    finishVerification();
    QTest::keyClick(m_window.get(), Qt::Key_F8);
    QCOMPARE(content().controller().runState(), RunState::Aborted);
    QVERIFY(!saveEnabled() && !saveAsEnabled());
    content().onCommand(32778);
    QVERIFY(folder.entryList(QDir::Files).isEmpty());

    // "Never": not even a complete one.
    RunFileRules rules = content().controller().fileRules();
    rules.saveMode = { 0, 0, 0 };
    content().controller().setFileRules(rules);
    runWholePreTest(content(), m_clock, m_timers->timers);
    QVERIFY(!saveEnabled() && !saveAsEnabled());
    content().onCommand(32778);
    QVERIFY(folder.entryList(QDir::Files).isEmpty());
    QVERIFY(m_window->close()); // and no question at the exit
    QVERIFY(m_boxes.boxes.isEmpty());
}

void MainWindowRunTest::closingDuringARunKeepsItsEntriesSoFar()
{
    content().experiment().client().setLastName(QStringLiteral("Meier"));
    QTest::keyClick(m_window.get(), Qt::Key_F6);
    advanceMs(2250);
    for (int i = 0; i < 3; ++i) {
        answerAfterMs(600);
        finishVerification();
    }
    answerAfterMs(500); // the fourth syllable is being judged when the window closes
    QVERIFY(m_window->close());
    QCOMPARE(content().controller().runState(), RunState::Empty);
    UserLog history([] { return 0; });
    QVERIFY(history.load(m_installation->path(QStringLiteral("data/Meier.orl"))));
    QCOMPARE(history.entries().size(), 1);
    QCOMPARE(history.entries()[0].presented, 3);
}

namespace {

/// An update folder in the installation holding a checked patch that the update program has
/// announced as `version`, with "downloading" as given.
void announceUpdate(const test::ScratchInstallation &installation,
                    const QByteArray &version,
                    const QByteArray &downloading)
{
    QDir(installation.path(QStringLiteral("update"))).mkpath(QStringLiteral("extract"));
    const QString patch = installation.path(QStringLiteral("update/extract/patch.run"));
    QFile script(patch);
    QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.write("#!/bin/sh\nexit 0\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(script.open(QIODevice::ReadOnly));
    const QByteArray hash =
        QCryptographicHash::hash(script.readAll(), QCryptographicHash::Sha256).toHex();
    QFile ini(installation.path(QStringLiteral("update/version.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("[VersionInfo]\r\nCurrentVersion=" + version
              + "\r\nPatchName=patch.run\r\n"
                "PatchSHA256="
              + hash + "\r\ndownloading=" + downloading + "\r\n[VersionInfo]\r\n");
}

} // namespace

void MainWindowRunTest::downloadedUpdateStartsOnlyOnceTheProgramHasClosed()
{
    announceUpdate(*m_installation, "3.2.0", "yes");
    m_boxes.answers << MessageAnswer::Yes;
    advanceMs(1); // the update begins from the running program
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].title, QStringLiteral("Update"));
    QVERIFY(!m_window->isVisible()); // closed as by the operator
    const UpdateManager::Patch patch = content().patchToStart();
    QVERIFY(patch.isSet());
    QCOMPARE(QFileInfo(patch.path).fileName(), QStringLiteral("patch.run"));
    // A waiting update is offered, the update program is not started again.
    QVERIFY(!m_installation->programs.started.contains(ExternalProgram::UpdateProgram));
}

void MainWindowRunTest::updateAskedDuringAnUnsavedRunStartsNothingAfterCancel()
{
    announceUpdate(*m_installation, "3.1.31", "unknown");
    ORVA_Proband &client = content().experiment().client();
    client.setLastName(QStringLiteral("Meier"));
    client.birthday() = ORVA_Date(5, 3, 2011);
    advanceMs(1);
    QCOMPARE(m_installation->programs.started,
             QList<ExternalProgram>({ ExternalProgram::UpdateProgram }));
    runWholePreTest(content(), m_clock, m_timers->timers); // polled meanwhile: no answer yet
    QVERIFY(m_boxes.boxes.isEmpty());

    // The update program has downloaded a newer version: the next ticks see it and ask.
    announceUpdate(*m_installation, "3.2.0", "yes");
    m_boxes.answers << MessageAnswer::Yes << MessageAnswer::Cancel;
    advanceMs(2000);
    QCOMPARE(m_boxes.boxes.size(), 2);
    QCOMPARE(m_boxes.boxes[1].buttons, MessageButtons::YesNoCancel); // the unsaved run
    QVERIFY(m_window->isVisible());
    QVERIFY(!content().patchToStart().isSet());
    QCOMPARE(content().controller().runState(), RunState::Finished);
    advanceMs(5000); // and nothing more is asked in this session
    QCOMPARE(m_boxes.boxes.size(), 2);
}

void MainWindowRunTest::endedFromOutsideTheUnsavedRunIsOfferedAtTheNextStart()
{
    ORVA_Proband &client = content().experiment().client();
    client.setLastName(QStringLiteral("Meier"));
    client.birthday() = ORVA_Date(5, 3, 2011);
    runWholePreTest(content(), m_clock, m_timers->timers);
    content().experiment().client().runDate() = ORVA_Date(17, 5, 2024, 14, 30);
    const QString kept = content().unsavedRunPath();
    content().onTerminate();
    QVERIFY(QFile::exists(kept));
    QVERIFY(m_boxes.boxes.isEmpty()); // nobody is asked anything

    // The next start asks; "Yes" opens the run as it was, ready to be saved.
    m_window.reset();
    m_content.reset();
    QVERIFY(QFile::exists(m_installation->path(QStringLiteral("bin/ORVA.ini"))));
    m_boxes.answers = { MessageAnswer::Yes };
    start();
    QVERIFY(m_boxes.answers.isEmpty()); // the question was asked and answered
    QVERIFY(!QFile::exists(kept));
    QCOMPARE(content().experiment().client().lastName(),
             std::optional<QString>(QStringLiteral("Meier")));
    QCOMPARE(content().controller().runState(), RunState::Finished);
    QCOMPARE(content().experiment().measurementCount(), 12);
    QVERIFY(m_window->menuAction(32778)->isEnabled());
    content().onCommand(32778);
    QCOMPARE(m_boxes.boxes.last().text, content().strings().text(151));
    QVERIFY(QFile::exists(
        m_installation->path(QStringLiteral("data/de_de/Meier_24-05-17_14-30-VT12.orv"))));

    // A kept run that the file reader takes but the run model cannot open (a syllable that is
    // not in the stock) is left where it is, not thrown away after "Yes".
    runWholePreTest(content(), m_clock, m_timers->timers);
    content().onTerminate();
    QFile file(kept);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray text = file.readAll();
    const qsizetype at = text.indexOf("Silbe1=");
    QVERIFY(at >= 0);
    text.insert(at + 7, "qq");
    QVERIFY(file.resize(0));
    file.write(text);
    file.close();
    m_window.reset();
    m_content.reset();
    m_boxes.answers = { MessageAnswer::Yes };
    start();
    QVERIFY(m_boxes.answers.isEmpty());
    QVERIFY(QFile::exists(kept));
    QCOMPARE(content().controller().runState(), RunState::Empty);
}

QTEST_MAIN(MainWindowRunTest)
#include "MainWindowRunTest.moc"
