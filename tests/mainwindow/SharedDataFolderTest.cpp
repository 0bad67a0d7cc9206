// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScratchInstallation.h"
#include "TestTimers.h"
#include "fakes/ManualClock.h"
#include "fakes/ManualTimers.h"
#include "fakes/RecordingMessageBoxes.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowContent.h"
#include "mainwindow/TimerHost.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace orva;
using orva::test::TestTimers;

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

/// Another user of a shared data folder plants links to files of the operator's outside it, named
/// as the client's training history and as the run file the next save makes. A whole pre-test by
/// keys and a save must leave those files as they were, and say why.
class SharedDataFolderTest : public QObject
{
    Q_OBJECT

private slots:
    void plantedLinksLeaveTheirTargetsUntouched();
};

void SharedDataFolderTest::plantedLinksLeaveTheirTargetsUntouched()
{
    const QString demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(demo + QStringLiteral("/media/de_de/Silben81/ba.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
    test::ScratchInstallation installation(demo);
    const QString history = installation.path(QStringLiteral("private/notes.txt"));
    const QString report = installation.path(QStringLiteral("private/report.txt"));
    QVERIFY(QDir().mkpath(QFileInfo(history).path()));
    const QByteArray historyBytes("Termine der Woche\r\nnicht ueberschreiben\r\n");
    const QByteArray reportBytes("\xEF\xBB\xBF"
                                 "Bericht\r\n");
    for (const auto &[path, bytes] :
         { std::pair { history, historyBytes }, std::pair { report, reportBytes } }) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const QString planted = installation.path(QStringLiteral("data/Meier-Anna.orl"));
    const QString plantedRun =
        installation.path(QStringLiteral("data/de_de/Meier-Anna_24-05-17_14-30-VT12.orv"));
    QVERIFY(QFile::link(history, planted));
    QVERIFY(QFile::link(report, plantedRun));
    // The last client, so that the history is loaded at start and saved after the run.
    QFile settings(installation.path(QStringLiteral("bin/ORVA.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("ORVA Version 3.1.31\nExpLanguage 0\nDoIntro 0\nDoAudioIntro 0\n\n"
                   "Liste der Probanden\n\n[Proband]\nName=Meier\nVorname=Anna\n"
                   "Geburtstag=05.03.2011\n");
    settings.close();

    test::ManualClock clock;
    test::RecordingMessageBoxes boxes;
    TestTimers timers(clock);
    StartupOptions options = installation.options();
    options.timers = &timers;
    options.chooseSavePath = [&](const QString &, const QString &, const QString &,
                                 const QString &) { return plantedRun; };
    {
        MainWindowContent content(options, clock, boxes);
        timers.timers.onTimer = [&](int id) { content.onTimer(id); };
        MainWindow window(content, content.strings());
        window.resize(1200, 860);
        QVERIFY(content.onCreate(&window));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        content.onShown();
        window.activateWindow();

        QTest::keyClick(&window, Qt::Key_F6);
        timers.timers.advanceMs(2250);
        for (int i = 0; i < 12; ++i) {
            timers.timers.advanceMs(500);
            content.onAudioInput(clock.nowUs());
            timers.timers.advanceMs(timers.timers.msUntil(WaitTimer));
        }
        QCOMPARE(content.controller().runState(), RunState::Finished);
        content.experiment().client().runDate() = ORVA_Date(17, 5, 2024, 14, 30);
        // File > Save: the name is taken (by the link), so the run goes beside it.
        content.onCommand(32778);
        QCOMPARE(content.controller().runState(), RunState::Saved);
        QVERIFY(QFileInfo(installation.path(
                              QStringLiteral("data/de_de/Meier-Anna_24-05-17_14-30-VT12-2.orv")))
                    .isFile());
        // File > Save under a name, onto the link, replacing it when asked: refused, twice, with
        // one box about it.
        boxes.answers = { MessageAnswer::Yes, MessageAnswer::Ok, MessageAnswer::Ok,
                          MessageAnswer::Yes };
        content.onCommand(32811);
        content.onCommand(32811);
    }

    QCOMPARE(contentOf(history), historyBytes);
    QCOMPARE(contentOf(report), reportBytes);
    QVERIFY(QFileInfo(planted).isSymLink());
    QVERIFY(QFileInfo(plantedRun).isSymLink());
    const QString text = StringTable::german().text(950);
    int historyBoxes = 0;
    int runBoxes = 0;
    for (const test::RecordingMessageBoxes::Box &box : std::as_const(boxes.boxes)) {
        historyBoxes += box.text == text.arg(planted, QFileInfo(history).canonicalFilePath());
        runBoxes += box.text == text.arg(plantedRun, QFileInfo(report).canonicalFilePath());
    }
    QCOMPARE(historyBoxes, 1);
    QCOMPARE(runBoxes, 1);
    const QByteArray log = contentOf(installation.path(QStringLiteral("bin/log.txt")));
    QVERIFY(log.contains("leads out of the data folder"));
}

QTEST_MAIN(SharedDataFolderTest)
#include "SharedDataFolderTest.moc"
