// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RunFileCommands.h"

#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "fakes/ManualClock.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/ScriptedRunOutput.h"
#include "support/StringTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;
using namespace orva::test;

namespace {

/// What the window around the file commands is told, counted.
class CountingView final : public RunFileView
{
public:
    void storeComment() override { ++comments; }
    void showClient() override { ++clients; }
    void resetRun(bool resetClient) override { resets.append(resetClient); }
    void runFilesChanged() override { ++filesChanged; }
    void stateChanged() override { ++states; }
    int comments = 0;
    int clients = 0;
    QList<bool> resets;
    int filesChanged = 0;
    int states = 0;
};

/// Answers Save As with a path set by the test; empty cancels.
class FixedPath final : public SavePathChooser
{
public:
    QString choosePath(const QString &folder,
                       const QString &proposed,
                       const QString &,
                       const QString &) override
    {
        asked.append(folder + QLatin1Char('|') + proposed);
        return answer;
    }
    QString answer;
    QStringList asked;
};

/// A finished pre-test of "Meier, Anna" with a stand-in material, ready to be saved into a data
/// folder of the test's own.
struct Session
{
    Session()
    {
        QDir(data.path()).mkpath(QStringLiteral("de_de"));
        dataDirectory = data.path();
        output.onTimer = [this](int id) { controller.onTimer(id); };
        experiment.setLanguage(DE_DE, false, false);
        experiment.createSyllableLists();
        experiment.client().setLastName(QStringLiteral("Meier"));
        experiment.client().setFirstName(QStringLiteral("Anna"));
        experiment.client().birthday() = ORVA_Date(15, 6, 2000);
        files.setSavePathChooser(&chooser);
        controller.setProgramState(ProgramState::Idle);
    }

    void finishPreTest()
    {
        controller.onStartPreTest();
        output.advanceMs(2250);
        for (int i = 0; i < 12; ++i) {
            clock.setUs(controller.syllableStartUs() + 600'000);
            controller.onAudioInput(clock.nowUs());
            output.advanceMs(output.msUntil(WaitTimer));
        }
    }
    QStringList runFiles() const
    {
        return QDir(data.filePath(QStringLiteral("de_de")))
            .entryList({ QStringLiteral("*.orv") }, QDir::Files, QDir::Name);
    }

    QTemporaryDir data;
    QString dataDirectory;
    ManualClock clock;
    ScriptedRunOutput output { clock };
    RecordingMessageBoxes boxes;
    ORVA_Experiment experiment;
    RunController controller { experiment, output, clock, boxes, StringTable::german() };
    CountingView view;
    FixedPath chooser;
    RunFileCommands files { experiment,    controller,
                            dataDirectory, data.filePath(QStringLiteral("unsaved-run.orv")),
                            boxes,         StringTable::german(),
                            view };
};

} // namespace

/// New, Save, Save As, the question before a run is lost, and the run kept when the program is
/// ended from outside — without a window.
class RunFileCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void saveNamesTheFileAfterClientAndRunOnce();
    void clientWithoutANameIsToldWhyAndNothingIsWritten();
    void saveAsAddsTheExtensionAndAsksBeforeReplacing();
    void questionBeforeARunIsLostHonoursCancelAndNo();
    void runKeptAtTerminationIsOfferedAtTheNextStart();
};

void RunFileCommandsTest::saveNamesTheFileAfterClientAndRunOnce()
{
    Session session;
    QVERIFY(!session.files.save()); // nothing to save yet
    session.finishPreTest();
    QCOMPARE(session.controller.runState(), RunState::Finished);
    QVERIFY(session.files.save());
    const QStringList saved = session.runFiles();
    QCOMPARE(saved.size(), 1);
    QVERIFY2(saved[0].startsWith(QStringLiteral("Meier-Anna_")) && saved[0].endsWith("12.orv"),
             qPrintable(saved[0]));
    QCOMPARE(session.controller.runState(), RunState::Saved);
    QCOMPARE(session.view.filesChanged, 1);
    QVERIFY(session.view.comments >= 1); // the comment field reached the model first
    QCOMPARE(session.boxes.boxes.size(), 1);
    QCOMPARE(session.boxes.boxes[0].icon, MessageIcon::Information);
    // A saved run is not written a second time under a new name.
    QVERIFY(!session.files.save());
    QCOMPARE(session.runFiles().size(), 1);
    QVERIFY(session.files.askToSaveUnsaved());
    QCOMPARE(session.boxes.boxes.size(), 1);
}

void RunFileCommandsTest::clientWithoutANameIsToldWhyAndNothingIsWritten()
{
    Session session;
    session.finishPreTest();
    session.experiment.client().setLastName(QString());
    QVERIFY(!session.files.save());
    QVERIFY(!session.files.saveAs());
    QVERIFY(session.runFiles().isEmpty());
    QVERIFY(session.chooser.asked.isEmpty()); // refused before the dialog
    QCOMPARE(session.boxes.boxes.size(), 2);
    QCOMPARE(session.boxes.boxes[0].text,
             QString::fromUtf8("Bitte geben Sie einen gültigen Namen ein."));
    QCOMPARE(session.boxes.boxes[0].icon, MessageIcon::Error);
    QCOMPARE(session.controller.runState(), RunState::Finished);
}

void RunFileCommandsTest::saveAsAddsTheExtensionAndAsksBeforeReplacing()
{
    Session session;
    session.finishPreTest();
    session.chooser.answer = QString();
    QVERIFY(!session.files.saveAs()); // cancelled
    QVERIFY(session.chooser.asked[0].startsWith(session.data.path() + QStringLiteral("/de_de|")));
    QVERIFY(session.chooser.asked[0].contains(QStringLiteral("|Meier-Anna_")));

    QTemporaryDir elsewhere;
    session.chooser.answer = elsewhere.filePath(QStringLiteral("copy"));
    QVERIFY(session.files.saveAs());
    const QString copy = elsewhere.filePath(QStringLiteral("copy.orv"));
    QVERIFY(QFile::exists(copy));
    QCOMPARE(session.controller.runState(), RunState::Saved);

    // The same name again: the question; No keeps the file as it was.
    QFile file(copy);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("kept");
    file.close();
    session.boxes.answers << MessageAnswer::No;
    QVERIFY(!session.files.saveAs());
    QCOMPARE(session.boxes.boxes.last().icon, MessageIcon::Question);
    QVERIFY(session.boxes.boxes.last().text.contains(QDir::toNativeSeparators(copy)));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("kept"));
}

void RunFileCommandsTest::questionBeforeARunIsLostHonoursCancelAndNo()
{
    Session session;
    session.finishPreTest();
    session.boxes.answers << MessageAnswer::Cancel;
    QVERIFY(!session.files.askToSaveUnsaved());
    QCOMPARE(session.boxes.boxes.last().buttons, MessageButtons::YesNoCancel);
    session.boxes.answers << MessageAnswer::No;
    QVERIFY(session.files.askToSaveUnsaved());
    QVERIFY(session.runFiles().isEmpty());
    QCOMPARE(session.controller.runState(), RunState::Finished);
    // Yes saves it.
    const int before = session.boxes.boxes.size();
    QVERIFY(session.files.askToSaveUnsaved());
    QCOMPARE(session.boxes.boxes.size(), before + 2); // the question and the saved notice
    QCOMPARE(session.runFiles().size(), 1);
}

void RunFileCommandsTest::runKeptAtTerminationIsOfferedAtTheNextStart()
{
    Session ended;
    ended.finishPreTest();
    ended.files.closeForTermination();
    QVERIFY(ended.boxes.boxes.isEmpty()); // nobody is there to answer
    QVERIFY(QFile::exists(ended.files.unsavedRunPath()));
    QVERIFY(ended.runFiles().isEmpty());

    Session next;
    QVERIFY(QFile::copy(ended.files.unsavedRunPath(), next.files.unsavedRunPath()));
    next.experiment.client().setLastName(QString());
    next.files.offerUnsavedRun(DE_DE);
    QCOMPARE(next.boxes.boxes.size(), 1);
    QVERIFY(next.boxes.boxes[0].text.contains(QStringLiteral("Meier, Anna")));
    QCOMPARE(next.experiment.measurementCount(), 12);
    QCOMPARE(next.experiment.client().lastName().value_or(QString()), QStringLiteral("Meier"));
    QCOMPARE(next.controller.runState(), RunState::Finished);
    QVERIFY(next.files.save());
    QCOMPARE(next.runFiles().size(), 1);
}

QTEST_GUILESS_MAIN(RunFileCommandsTest)
#include "RunFileCommandsTest.moc"
