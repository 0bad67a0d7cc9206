// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/OptionsDialog.h"

#include "engine/ORVA_Experiment.h"
#include "engine/StartupChecks.h"
#include "fakes/ManualClock.h"
#include "fakes/ScriptedDialogRunner.h"
#include "fakes/ScriptedRunOutput.h"
#include "records/Settings.h"
#include "support/StringTable.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;
using orva::test::ScriptedDialogRunner;

namespace {

OptionValues someValues(const QString &directory)
{
    OptionValues values;
    values.trainPrintMode = 2;
    values.preTestPrintMode = 1;
    values.mainTestPrintMode = 0;
    values.trainSaveMode = 0;
    values.preTestSaveMode = 2;
    values.mainTestSaveMode = 1;
    values.dataDirectory = directory;
    return values;
}

void click(QDialog &dialog, int id)
{
    QWidget *target = static_cast<TemplateDialog &>(dialog).control(id);
    // On the indicator: a radio button without text takes clicks there only.
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(6, target->height() / 2));
}

QLineEdit *directoryEdit(QDialog &dialog)
{
    return static_cast<TemplateDialog &>(dialog).controlAs<QLineEdit>(OptionsDialog::kDirectoryId);
}

/// The main window's check after the dialog, on the directory the dialog returned.
bool checkedDirectory(const OptionsChoice &choice,
                      const QString &defaultDirectory,
                      ScriptedDialogRunner &runner,
                      Settings &settings)
{
    choice.values.applyTo(settings);
    return StartupChecks::dataDirectory(settings, defaultDirectory, runner, StringTable::german());
}

} // namespace

class OptionsDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void opensWithTheButtonOfEachMode_data();
    void opensWithTheButtonOfEachMode();
    void okReturnsTheCheckedModes();
    void modeOutsideTheRangeOpensUncheckedAndOkKeepsIt();
    void cancelAfterEditingReturnsTheOpeningValuesForTheCheck();
    void emptyDirectoryIsAcceptedAndThenReportedMissing();
    void directoryEditTakesNoMoreThanTheSettingsHold();
    void valuesGoToAndComeFromTheSettings();
    void neverModeStopsSavingAndPrintingThatRunKind_data();
    void neverModeStopsSavingAndPrintingThatRunKind();
};

void OptionsDialogTest::opensWithTheButtonOfEachMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("offset");
    QTest::newRow("2 always") << 2 << 0;
    QTest::newRow("1 after a complete run") << 1 << 1;
    QTest::newRow("0 never") << 0 << 2;
}

void OptionsDialogTest::opensWithTheButtonOfEachMode()
{
    QFETCH(int, mode);
    QFETCH(int, offset);

    OptionValues values;
    values.trainPrintMode = values.preTestPrintMode = values.mainTestPrintMode = mode;
    values.trainSaveMode = values.preTestSaveMode = values.mainTestSaveMode = mode;
    OptionsDialog options(StringTable::german(), values);
    for (int first : { 1115, 1118, 1121, 1124, 1127, 1130 })
        QCOMPARE(options.dialog().radioGroup(first)->checkedId(), first + offset);
    QCOMPARE(options.dialog().windowTitle(), QStringLiteral("ORVA: Optionen"));
}

void OptionsDialogTest::okReturnsTheCheckedModes()
{
    ScriptedDialogRunner runner;
    runner.scripts << [](QDialog &dialog) {
        click(dialog, 1117); // training print: never
        click(dialog, 1122); // pre-test print: after a complete run
        click(dialog, 1127); // main-test print: always
        click(dialog, 1120); // training save: never
        click(dialog, 1126); // pre-test save: never
        click(dialog, 1130); // main-test save: always
        directoryEdit(dialog)->setText(QStringLiteral("/srv/orva-data"));
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    OptionsDialog options(StringTable::german(), someValues(QStringLiteral("/old")));
    const OptionsChoice choice = options.run(runner);
    QVERIFY(choice.accepted);
    QCOMPARE(choice.values.trainPrintMode, 0);
    QCOMPARE(choice.values.preTestPrintMode, 1);
    QCOMPARE(choice.values.mainTestPrintMode, 2);
    QCOMPARE(choice.values.trainSaveMode, 0);
    QCOMPARE(choice.values.preTestSaveMode, 0);
    QCOMPARE(choice.values.mainTestSaveMode, 2);
    QCOMPARE(choice.values.dataDirectory, QStringLiteral("/srv/orva-data"));
}

void OptionsDialogTest::modeOutsideTheRangeOpensUncheckedAndOkKeepsIt()
{
    OptionValues values = someValues(QStringLiteral("/data"));
    values.preTestSaveMode = 7;
    values.mainTestPrintMode = -1;
    OptionsDialog options(StringTable::german(), values);
    QCOMPARE(options.dialog().radioGroup(OptionsDialog::kPreTestSaveGroup)->checkedId(), -1);
    QCOMPARE(options.dialog().radioGroup(OptionsDialog::kMainTestPrintGroup)->checkedId(), -1);

    ScriptedDialogRunner runner;
    const OptionsChoice choice = options.run(runner);
    QVERIFY(choice.accepted);
    QCOMPARE(choice.values, values);
}

void OptionsDialogTest::cancelAfterEditingReturnsTheOpeningValuesForTheCheck()
{
    QTemporaryDir base;
    const QString missing = base.path() + QStringLiteral("/gone");
    ScriptedDialogRunner runner;
    runner.scripts << [&](QDialog &dialog) {
        directoryEdit(dialog)->setText(base.path());
        click(dialog, 1115);
        click(dialog, 2);
    };
    const OptionValues opened = someValues(missing);
    OptionsDialog options(StringTable::german(), opened);
    const OptionsChoice choice = options.run(runner);
    QVERIFY(!choice.accepted);
    QCOMPARE(choice.values, opened);

    // The check after the dialog runs on the unchanged, missing folder and asks about it.
    runner.boxes.answers << MessageAnswer::No;
    Settings settings;
    QVERIFY(!checkedDirectory(choice, base.path(), runner, settings));
    QCOMPARE(runner.boxes.boxes.size(), 1);
    QVERIFY(runner.boxes.boxes[0].text.contains(missing));
    QCOMPARE(runner.boxes.boxes[0].title, StringTable::german().text(110));
    QCOMPARE(runner.boxes.boxes[0].answer, MessageAnswer::No);
    QCOMPARE(settings.dataDirectory, missing);
}

void OptionsDialogTest::emptyDirectoryIsAcceptedAndThenReportedMissing()
{
    QTemporaryDir base;
    ScriptedDialogRunner runner;
    runner.scripts << [](QDialog &dialog) {
        directoryEdit(dialog)->clear();
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    OptionsDialog options(StringTable::german(), someValues(base.path()));
    const OptionsChoice choice = options.run(runner);
    QVERIFY(choice.accepted);
    QCOMPARE(choice.values.dataDirectory, QString());

    runner.boxes.answers << MessageAnswer::Yes;
    Settings settings;
    QVERIFY(checkedDirectory(choice, base.path(), runner, settings));
    QCOMPARE(runner.boxes.boxes.size(), 1);
    QCOMPARE(runner.boxes.boxes[0].buttons, MessageButtons::YesNo);
    QCOMPARE(settings.dataDirectory, base.path());
}

void OptionsDialogTest::directoryEditTakesNoMoreThanTheSettingsHold()
{
    ScriptedDialogRunner runner;
    runner.scripts << [](QDialog &dialog) {
        QLineEdit *edit = directoryEdit(dialog);
        edit->clear();
        QTest::keyClicks(edit, QString(999, QLatin1Char('d')));
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    OptionsDialog options(StringTable::german(), someValues(QStringLiteral("/data")));
    const OptionsChoice choice = options.run(runner);
    QCOMPARE(choice.values.dataDirectory.size(), Settings::kMaxDataDirectoryChars);

    // What the dialog returns survives the settings file.
    Settings settings;
    settings.setDefaults(QStringLiteral("/opt/orva"));
    choice.values.applyTo(settings);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("ORVA.ini"));
    QVERIFY(settings.write(path).ok());
    Settings reread;
    reread.setDefaults(QStringLiteral("/opt/orva"));
    QVERIFY(reread.read(path));
    QCOMPARE(reread.dataDirectory, choice.values.dataDirectory);
}

void OptionsDialogTest::valuesGoToAndComeFromTheSettings()
{
    Settings settings;
    settings.setDefaults(QStringLiteral("/opt/orva"));
    const OptionValues values = someValues(QStringLiteral("/srv/data"));
    values.applyTo(settings);
    QCOMPARE(settings.trainPrintMode, 2);
    QCOMPARE(settings.mainTestPrintMode, 0);
    QCOMPARE(settings.preTestSaveMode, 2);
    QCOMPARE(settings.mainTestSaveMode, 1);
    QCOMPARE(OptionValues::fromSettings(settings), values);
}

void OptionsDialogTest::neverModeStopsSavingAndPrintingThatRunKind_data()
{
    QTest::addColumn<int>("runKind");
    QTest::addColumn<int>("saveNever");
    QTest::addColumn<int>("printNever");
    QTest::newRow("pre-test") << int(PreTest) << 1126 << 1123;
    QTest::newRow("main test") << int(MainTest) << 1132 << 1129;
    QTest::newRow("training") << int(Training) << 1120 << 1117;
}

void OptionsDialogTest::neverModeStopsSavingAndPrintingThatRunKind()
{
    QFETCH(int, runKind);
    QFETCH(int, saveNever);
    QFETCH(int, printNever);

    // Every mode "always" first, then "never" for one kind's saving and printing.
    OptionValues always;
    always.trainPrintMode = always.preTestPrintMode = always.mainTestPrintMode = 2;
    always.trainSaveMode = always.preTestSaveMode = always.mainTestSaveMode = 2;
    ScriptedDialogRunner runner;
    runner.scripts << [&](QDialog &dialog) {
        click(dialog, saveNever);
        click(dialog, printNever);
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    OptionsDialog options(StringTable::german(), always);
    const RunFileRules rules = options.run(runner).values.fileRules();

    test::ManualClock clock;
    test::ScriptedRunOutput output { clock };
    test::RecordingMessageBoxes boxes;
    ORVA_Experiment experiment;
    RunController controller { experiment, output, clock, boxes, StringTable::german() };
    controller.setFileRules(rules);
    for (int kind : { int(PreTest), int(MainTest), int(Training) }) {
        experiment.prepareRun(kind);
        for (RunState state : { RunState::Finished, RunState::Aborted, RunState::Loaded }) {
            controller.setRunState(state);
            const QString what = QStringLiteral("kind %1, state %2").arg(kind).arg(int(state));
            QVERIFY2(controller.maySave() == (kind != runKind), qPrintable(what));
            QVERIFY2(controller.mayPrint() == (kind != runKind), qPrintable(what));
        }
        controller.setRunState(RunState::Finished);
        QVERIFY(controller.mustAskToSave() == (kind != runKind));
    }
}

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
