// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainWindow.h"

#include "ScratchInstallation.h"
#include "fakes/RecordingMessageBoxes.h"
#include "fakes/RecordingPrograms.h"
#include "mainwindow/MainWindowContent.h"
#include "support/Clock.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

namespace {

/// An installation in a temporary folder: bin/ with its installation values, data/.
struct Installation
{
    Installation()
    {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("bin"));
        root.mkpath(QStringLiteral("data/de_de"));
        setValues(QStringLiteral("de_de"));
    }
    void setValues(const QString &language)
    {
        QFile file(registryFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norquell\\ORVA\\3.1]\nroot=%1\n"
                                  "TrueUpdateDir=%1/update\nlanguage=%2\n")
                       .arg(dir.path(), language)
                       .toUtf8());
    }
    QString registryFile() const { return dir.filePath(QStringLiteral("bin/registry.ini")); }
    StartupOptions options() const
    {
        StartupOptions options;
        options.currentDirectory = dir.filePath(QStringLiteral("bin"));
        options.registry =
            Registry::Locations { registryFile(), QString(), QString(), QString(), QString() };
        options.logFile = dir.filePath(QStringLiteral("bin/log.txt"));
        return options;
    }
    QByteArray log() const
    {
        QFile file(dir.filePath(QStringLiteral("bin/log.txt")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void startingWithoutRecordingsShowsError111AndEndsWithMinusOne();
    void damagedRecordingIsNamedInABoxBeforeTheStartUpEnds();
    void missingInstallationValuesFallBackToTheStartFolder();
    void menuCarriesTheCommandNumbersAndTexts();
    void startsOnTheDemoInstallationWithEveryChildWindowLaidOut();
    void polishUserInterfaceShowsPolishMenusAndAMissingTableFallsBackToGerman();
    void closingWritesTheSettingsAndTheNextStartReadsThem();
    void helpOpensThePageOfTheUserInterfaceLanguage();
};

void MainWindowTest::startingWithoutRecordingsShowsError111AndEndsWithMinusOne()
{
    Installation installation;
    SteadyClock clock;
    test::RecordingMessageBoxes boxes;
    {
        MainWindowContent content(installation.options(), clock, boxes);
        QCOMPARE(content.baseDirectory(), installation.dir.path());
        MainWindow window(content, content.strings());
        QVERIFY(!content.onCreate(&window));
        QCOMPARE(content.exitCode(), -1);
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].title, content.strings().text(110));
        QCOMPARE(boxes.boxes[0].text, content.strings().text(111));
        QCOMPARE(boxes.boxes[0].icon, MessageIcon::Error);
    }
    // Ending this way still writes the settings.
    QVERIFY(QFile::exists(installation.dir.filePath(QStringLiteral("bin/ORVA.ini"))));
    const QByteArray log = installation.log();
    QVERIFY(log.startsWith("ORVA  3.1.31 debug 00\n\nLOG "));
    QVERIFY(log.contains("BEGIN: Constructor MainWindowContent\n"));
    QVERIFY(log.contains("END: Constructor MainWindowContent\n"));
    QVERIFY(log.contains(QStringLiteral("Con MWC 10: Initial Directory %1\n")
                             .arg(installation.dir.path())
                             .toUtf8()));
}

void MainWindowTest::damagedRecordingIsNamedInABoxBeforeTheStartUpEnds()
{
    Installation installation;
    QDir(installation.dir.path()).mkpath(QStringLiteral("media/de_de/Silben81"));
    const QString damaged =
        installation.dir.filePath(QStringLiteral("media/de_de/Silben81/ba.wav"));
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("RIFF\x24\x00\x00\x00WAVEfmt "); // cut off inside the format chunk
    file.close();
    SteadyClock clock;
    test::RecordingMessageBoxes boxes;
    {
        MainWindowContent content(installation.options(), clock, boxes);
        MainWindow window(content, content.strings());
        QVERIFY(!content.onCreate(&window));
        QVERIFY2(boxes.boxes.size() >= 2, qPrintable(QString::number(boxes.boxes.size())));
        QCOMPARE(boxes.boxes.first().title, QStringLiteral("Error"));
        QVERIFY2(boxes.boxes.first().text.endsWith(damaged), qPrintable(boxes.boxes[0].text));
        QCOMPARE(boxes.boxes.last().text, content.strings().text(111)); // the last word
    }
    QVERIFY(installation.log().contains(damaged.toUtf8()));
}

void MainWindowTest::missingInstallationValuesFallBackToTheStartFolder()
{
    Installation installation;
    QFile::remove(installation.registryFile());
    SteadyClock clock;
    test::RecordingMessageBoxes boxes;
    MainWindowContent content(installation.options(), clock, boxes);
    QCOMPARE(content.baseDirectory(), installation.dir.path()); // the parent of bin/
    QCOMPARE(content.userInterfaceLanguage(), 0);
    QCOMPARE(content.settings().dataDirectory, installation.dir.path() + QStringLiteral("/data"));
    QVERIFY(installation.log().contains("Con MWC 05: "));
}

void MainWindowTest::menuCarriesTheCommandNumbersAndTexts()
{
    Installation installation;
    SteadyClock clock;
    test::RecordingMessageBoxes boxes;
    MainWindowContent content(installation.options(), clock, boxes);
    MainWindow window(content, content.strings());
    QCOMPARE(window.menuAction(32787)->text(), QStringLiteral("&Vortest\tF6"));
    QCOMPARE(window.commandText(32787), QStringLiteral("Vortest"));
    QCOMPARE(window.menuAction(32842)->text(), QStringLiteral("Ö&ffne Datenbank"));
    QVERIFY(window.menuAction(105) != nullptr);
    QCOMPARE(window.minimumSize(), QSize(790, 550));
    window.enableMenuItems({ { 32787, false } });
    QVERIFY(!window.menuAction(32787)->isEnabled());
}

void MainWindowTest::startsOnTheDemoInstallationWithEveryChildWindowLaidOut()
{
    const QString demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(demo + QStringLiteral("/media/de_de/Silben81/ba.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
    const test::ScratchInstallation scratch(demo);
    SteadyClock clock;
    test::RecordingMessageBoxes boxes;
    MainWindowContent content(scratch.options(), clock, boxes);
    MainWindow window(content, content.strings());
    window.resize(1280, 900);
    QVERIFY(content.onCreate(&window));
    window.show();
    content.onShown();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const MainWindowLayout &layout = content.layout();
    QCOMPARE(content.child(1012)->geometry(), layout.chart);
    QCOMPARE(content.child(1048)->geometry(), layout.levelMeter);
    QCOMPARE(content.child(1010)->geometry(), layout.slider);
    QCOMPARE(content.child(1028)->geometry(), layout.lastName);
    QCOMPARE(content.child(1031)->geometry(), layout.comment);
    QCOMPARE(content.child(1032)->geometry(), layout.logo);
    QVERIFY(!content.child(1022)->isVisible()); // no evaluation before the first run
    QVERIFY(!content.child(1019)->isVisible());
    QVERIFY(content.isGuideShown());
    QDir().mkpath(QStringLiteral("artefacts"));
    QVERIFY(window.grab().save(QStringLiteral("artefacts/main-window.png")));
}

void MainWindowTest::polishUserInterfaceShowsPolishMenusAndAMissingTableFallsBackToGerman()
{
    const QString demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(demo + QStringLiteral("/media/de_de/Silben81/ba.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
    const test::ScratchInstallation scratch(demo, QStringLiteral(" PL_pl "));
    QDir().mkpath(scratch.path(QStringLiteral("bin/pl_pl")));
    QFile::remove(scratch.path(QStringLiteral("bin/pl_pl/strings.txt")));
    QVERIFY(QFile::copy(QStringLiteral(ORVA_SOURCE_DIR "/resources/strings/pl_pl.txt"),
                        scratch.path(QStringLiteral("bin/pl_pl/strings.txt"))));
    SteadyClock clock;
    test::RecordingMessageBoxes boxes;
    {
        MainWindowContent content(scratch.options(), clock, boxes);
        QCOMPARE(content.userInterfaceLanguage(), 5);
        MainWindow window(content, content.strings());
        QCOMPARE(window.menuAction(32787)->text(),
                 content.strings().text(QStringLiteral("menu.32787")));
        QVERIFY(window.menuAction(32787)->text()
                != StringTable::german().text(QStringLiteral("menu.32787")));
        QVERIFY(window.menuAction(32787)->text().contains(QLatin1String("F6")));
        // The material follows the user interface when the settings name none.
        QCOMPARE(content.experiment().expLanguage(), 5);
    }
    QFile::remove(scratch.path(QStringLiteral("bin/pl_pl/strings.txt")));
    QFile::remove(scratch.path(QStringLiteral("bin/ORVA.ini")));
    MainWindowContent content(scratch.options(), clock, boxes);
    MainWindow window(content, content.strings());
    QCOMPARE(window.menuAction(32787)->text(), QStringLiteral("&Vortest\tF6"));
}

void MainWindowTest::closingWritesTheSettingsAndTheNextStartReadsThem()
{
    const QString demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(demo + QStringLiteral("/media/de_de/Silben81/ba.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
    const test::ScratchInstallation scratch(demo);
    SteadyClock clock;
    test::RecordingMessageBoxes boxes;
    {
        MainWindowContent content(scratch.options(), clock, boxes);
        MainWindow window(content, content.strings());
        QVERIFY(content.onCreate(&window));
        QCOMPARE(boxes.boxes.size(), 1); // the settings warning of the first start
        content.experiment().client().setLastName(QStringLiteral("Nowak"));
        content.experiment().client().setRepetitions(3);
        SyllableList own;
        own.label = QStringLiteral("Meine");
        own.language = DE_DE;
        own.entries = { { QStringLiteral("ba"), -1 }, { QStringLiteral("ma"), -1 } };
        QVERIFY(content.experiment().addOwnTrainList(own));
        content.settings().doIntro = false;
        qobject_cast<QSlider *>(content.child(1010))->setValue(52);
        QVERIFY(content.onExit());
    }
    QVERIFY(QFile::exists(scratch.path(QStringLiteral("bin/ORVA.ini"))));
    QVERIFY(QFile::exists(scratch.path(QStringLiteral("bin/ORVA.ors"))));
    boxes.boxes.clear();
    MainWindowContent content(scratch.options(), clock, boxes);
    MainWindow window(content, content.strings());
    QVERIFY(content.onCreate(&window));
    QVERIFY(boxes.boxes.isEmpty()); // no warning this time
    QCOMPARE(content.experiment().client().lastName(),
             std::optional<QString>(QStringLiteral("Nowak")));
    QCOMPARE(content.experiment().client().repetitions(), 3);
    QCOMPARE(content.settings().threshold, -52);
    QCOMPARE(content.settings().doIntro, false);
    const SyllableListSet &lists = content.experiment().trainSyllableList();
    QCOMPARE(lists.at(lists.size() - 1).label, QStringLiteral("Meine"));
    QCOMPARE(lists.at(lists.size() - 1).id, 100);
}

void MainWindowTest::helpOpensThePageOfTheUserInterfaceLanguage()
{
    const QString demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(demo + QStringLiteral("/bin/fr_fr/help/index.html")))
        QSKIP("the demo installation is made by the test demo.installation");
    const test::ScratchInstallation scratch(demo, QStringLiteral("fr_fr"));
    StartupOptions options = scratch.options();
    test::RecordingPrograms programs;
    options.programs = &programs;
    options.dialogs = nullptr; // the program's own: it finds the page
    const QList<QUrl> &opened = programs.opened;
    SteadyClock clock;
    test::RecordingMessageBoxes boxes;
    MainWindowContent content(options, clock, boxes);
    MainWindow window(content, content.strings());
    QVERIFY(content.onCreate(&window));
    boxes.boxes.clear();
    content.onCommand(32836);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened[0].toLocalFile(), scratch.path(QStringLiteral("bin/fr_fr/help/index.html")));
    QVERIFY(boxes.boxes.isEmpty());
    QFile page(opened[0].toLocalFile());
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(page.readAll().contains("id=\"ein-neuer-klient\""));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
