// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/StartupChecks.h"

#include "engine/ORVA_Experiment.h"
#include "fakes/RecordingMessageBoxes.h"
#include "records/Settings.h"
#include "support/StringTable.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

/// The checks before the window opens: each one that fails tells the operator, in the right box.
class StartupChecksTest : public QObject
{
    Q_OBJECT

private slots:
    void missingDataFolderIsOfferedBackToTheDefault_data();
    void missingDataFolderIsOfferedBackToTheDefault();
    void materialWithoutRecordingsEndsTheProgramWithItsBox();
};

void StartupChecksTest::missingDataFolderIsOfferedBackToTheDefault_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<bool>("reset");
    QTest::newRow("existing folder asks nothing") << true << int(MessageAnswer::Yes) << 0 << false;
    QTest::newRow("Yes goes back to the default") << false << int(MessageAnswer::Yes) << 1 << true;
    QTest::newRow("No keeps the setting") << false << int(MessageAnswer::No) << 1 << false;
}

void StartupChecksTest::missingDataFolderIsOfferedBackToTheDefault()
{
    QFETCH(bool, exists);
    QFETCH(int, answer);
    QFETCH(int, boxes);
    QFETCH(bool, reset);
    QTemporaryDir base;
    QVERIFY(QDir(base.path()).mkdir(QStringLiteral("data")));
    const QString chosen = base.filePath(QStringLiteral("chosen"));
    if (exists)
        QVERIFY(QDir(base.path()).mkdir(QStringLiteral("chosen")));
    Settings settings;
    settings.setDefaults(base.path());
    settings.dataDirectory = chosen;
    QCOMPARE(settings.hasDataDirectory(), exists);
    test::RecordingMessageBoxes messageBoxes;
    messageBoxes.answers << static_cast<MessageAnswer>(answer);

    const bool found = StartupChecks::dataDirectory(
        settings, Settings::defaultDataDirectory(base.path()), messageBoxes, StringTable::german());
    QCOMPARE(messageBoxes.boxes.size(), boxes);
    QCOMPARE(settings.dataDirectory, reset ? base.filePath(QStringLiteral("data")) : chosen);
    QCOMPARE(found, exists || reset);
    if (boxes) {
        const test::RecordingMessageBoxes::Box &box = messageBoxes.boxes[0];
        QCOMPARE(box.title, QStringLiteral("ORVA Fehler"));
        QCOMPARE(box.icon, MessageIcon::Question);
        QCOMPARE(box.buttons, MessageButtons::YesNo);
        QCOMPARE(
            box.text,
            QString::fromUtf8("Das vom Benutzer eingestellte Verzeichnis für die Klientendaten ")
                + chosen
                + QString::fromUtf8(" wurde nicht gefunden. Soll es auf den Standardwert "
                                    "\"...\\ORVA\\data\" zurückgesetzt werden?"));
    }
}

void StartupChecksTest::materialWithoutRecordingsEndsTheProgramWithItsBox()
{
    ORVA_Experiment empty;
    test::RecordingMessageBoxes boxes;
    QVERIFY(!StartupChecks::materialComplete(empty, boxes, StringTable::german()));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].icon, MessageIcon::Error);
    QCOMPARE(boxes.boxes[0].title, QStringLiteral("ORVA Fehler"));

    // The name tables stand in for the recordings: a material that a run can use.
    ORVA_Experiment material;
    material.setLanguage(DE_DE, false, false);
    material.createSyllableLists();
    boxes.boxes.clear();
    QVERIFY(StartupChecks::materialComplete(material, boxes, StringTable::german()));
    QVERIFY(boxes.boxes.isEmpty());
}

QTEST_GUILESS_MAIN(StartupChecksTest)
#include "StartupChecksTest.moc"
