// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScratchInstallation.h"
#include "TestTimers.h"
#include "fakes/FileFaults.h"
#include "fakes/ManualClock.h"
#include "fakes/ManualTimers.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/SmallDisk.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowContent.h"
#include "mainwindow/TimerHost.h"
#include "records/UserLog.h"
#include "support/SaveFailure.h"

#include <QDirIterator>
#include <QMap>
#include <QTest>

using namespace orva;
using orva::test::TestTimers;

namespace {

constexpr int kSave = 32778;
constexpr int kPreTest = 32787;

} // namespace

/// The program on an installation whose disk is full: nothing saved before is lost, every failed
/// save is reported, and the run can be saved once there is room again.
class FullDiskTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fullDiskKeepsEveryEarlierFileAndTheRunUnsaved();

private:
    /// One program session: constructed, shown, and ended by exit() or the object going.
    struct Session
    {
        Session(const test::ScratchInstallation &installation,
                test::ManualClock &clock,
                test::RecordingMessageBoxes &boxes)
            : timers(clock)
        {
            StartupOptions options = installation.options();
            options.timers = &timers;
            content = std::make_unique<MainWindowContent>(options, clock, boxes);
            timers.timers.onTimer = [this](int id) { content->onTimer(id); };
            window = std::make_unique<MainWindow>(*content, content->strings());
            ok = content->onCreate(window.get());
            content->onShown();
        }
        void runPreTestOf(test::ManualClock &clock, const ORVA_Date &when)
        {
            ORVA_Proband &client = content->experiment().client();
            client.setLastName(QStringLiteral("Meier"));
            client.setFirstName(QStringLiteral("Anna"));
            client.birthday() = ORVA_Date(5, 3, 2011);
            content->onCommand(kPreTest);
            client.runDate() = when;
            timers.timers.advanceMs(2250);
            for (int i = 0; i < 12; ++i) {
                timers.timers.advanceMs(450);
                content->onAudioInput(clock.nowUs());
                timers.timers.advanceMs(timers.timers.msUntil(WaitTimer));
            }
        }
        /// The exit command, then the end of the process's main object.
        void exit()
        {
            QVERIFY(content->onExit());
            window.reset();
            content.reset();
        }

        TestTimers timers;
        std::unique_ptr<MainWindowContent> content;
        std::unique_ptr<MainWindow> window;
        bool ok = false;
    };

    /// Every file of the installation's own folders (the linked recordings left out) with its
    /// bytes.
    static QMap<QString, QByteArray> filesOf(const test::ScratchInstallation &installation)
    {
        QMap<QString, QByteArray> files;
        for (const char *folder : { "bin", "data" }) {
            QDirIterator it(installation.path(QLatin1String(folder)),
                            QDir::Files | QDir::Hidden | QDir::System,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                // The log and the data folder's lock change with every session by design.
                if (!it.fileInfo().isSymLink() && !path.endsWith(QLatin1String("log.txt"))
                    && !path.endsWith(QLatin1String(".orva.lock")))
                    files.insert(path, test::fileBytes(path));
            }
        }
        return files;
    }

    static QStringList errorTexts(const test::RecordingMessageBoxes &boxes)
    {
        QStringList texts;
        for (const auto &box : boxes.boxes) {
            if (box.icon == MessageIcon::Error)
                texts << box.text;
        }
        return texts;
    }

    QString m_demo;
    test::ManualClock m_clock;
};

void FullDiskTest::initTestCase()
{
    m_demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(m_demo + QStringLiteral("/media/de_de/Silben81/ba.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
}

void FullDiskTest::fullDiskKeepsEveryEarlierFileAndTheRunUnsaved()
{
    test::SmallDisk disk(512);
    if (!disk.isMounted())
        QSKIP("mounting a small tmpfs needs root");
    test::ScratchInstallation installation(m_demo, QStringLiteral("de_de"), disk.path());
    test::RecordingMessageBoxes boxes;

    // A first session on a disk with room: a user log, a run file, the own lists and the
    // settings are written.
    {
        Session first(installation, m_clock, boxes);
        QVERIFY(first.ok);
        first.runPreTestOf(m_clock, ORVA_Date(17, 5, 2024, 14, 30));
        first.content->onCommand(kSave);
        first.exit();
    }
    const QMap<QString, QByteArray> before = filesOf(installation);
    for (const char *name : { "bin/ORVA.ini", "bin/ORVA.ors", "data/Meier-Anna.orl",
                              "data/de_de/Meier-Anna_24-05-17_14-30-VT12.orv" }) {
        QVERIFY2(before.contains(installation.path(QLatin1String(name))), name);
        QVERIFY(before.value(installation.path(QLatin1String(name))).size() > 10);
    }
    QVERIFY(errorTexts(boxes).isEmpty());

    // The second session fills the disk before its run ends.
    boxes.boxes.clear();
    Session second(installation, m_clock, boxes);
    QVERIFY(second.ok);
    QVERIFY(disk.fill());
    second.runPreTestOf(m_clock, ORVA_Date(18, 5, 2024, 9, 0));
    const StringTable &strings = second.content->strings();
    QStringList errors = errorTexts(boxes);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith(strings.text(kUserLogNotSaved)), qPrintable(errors[0]));
    QVERIFY(errors[0].contains(strings.text(903)));

    second.content->onCommand(kSave);
    errors = errorTexts(boxes);
    QCOMPARE(errors.size(), 2);
    QVERIFY2(errors[1].startsWith(strings.text(kRunNotSaved)), qPrintable(errors[1]));
    QVERIFY(errors[1].contains(QLatin1String("Meier-Anna_24-05-18_09-00-VT12.orv")));
    QVERIFY(!boxes.boxes.last().text.contains(strings.text(151))); // no success box
    QCOMPARE(second.content->controller().runState(), RunState::Finished); // still unsaved
    QCOMPARE(filesOf(installation), before);

    // With room again the same run is saved.
    disk.freeSpace();
    second.content->onCommand(kSave);
    QCOMPARE(boxes.boxes.last().text, strings.text(151));
    QCOMPARE(second.content->controller().runState(), RunState::Saved);
    const QString secondRun =
        installation.path(QStringLiteral("data/de_de/Meier-Anna_24-05-18_09-00-VT12.orv"));
    QVERIFY(test::fileBytes(secondRun).contains("ORVA Experiment 2.0"));

    // The history that could not be saved was kept in memory: the next run's end saves it with
    // the new entry, after the entry of the first session.
    second.runPreTestOf(m_clock, ORVA_Date(18, 5, 2024, 9, 5));
    UserLog history([] { return 0; });
    QVERIFY(history.load(installation.path(QStringLiteral("data/Meier-Anna.orl"))));
    QCOMPARE(history.entries().size(), 3);

    // Full again at the exit: the own lists and the settings are reported, the files stay.
    const QMap<QString, QByteArray> beforeExit = filesOf(installation);
    QVERIFY(disk.fill());
    boxes.boxes.clear();
    boxes.answers = { MessageAnswer::No }; // the third run is not to be saved
    second.exit();
    errors = errorTexts(boxes);
    QCOMPARE(errors.size(), 2);
    QVERIFY2(errors[0].startsWith(strings.text(kOwnListsNotSaved)), qPrintable(errors[0]));
    QVERIFY2(errors[1].startsWith(strings.text(kSettingsNotSaved)), qPrintable(errors[1]));
    QCOMPARE(filesOf(installation), beforeExit);
}

QTEST_MAIN(FullDiskTest)
#include "FullDiskTest.moc"
