// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of every dialog in German and English, kept as artefacts of the build for review.
#include "dialogs/AboutDialog.h"
#include "dialogs/AudioSetupDialog.h"
#include "dialogs/ClientDatabaseDialog.h"
#include "dialogs/FirstStepsDialog.h"
#include "dialogs/InstructionDialog.h"
#include "dialogs/LanguageDialog.h"
#include "dialogs/NoticeDialog.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/OwnSyllableListDialog.h"
#include "dialogs/QS_ListControl.h"
#include "dialogs/TrainingSettingsDialog.h"
#include "engine/ClientDatabase.h"
#include "engine/ORVA_Experiment.h"
#include "fakes/ScriptedDialogRunner.h"
#include "records/ClientList.h"
#include "support/Languages.h"
#include "support/StringTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QTest>

#include <functional>
#include <memory>

using namespace orva;

namespace {

/// Shows `dialog`, writes its picture to "<artefacts>/dialog-<name>-<code>.png" and returns it.
QImage screenshot(TemplateDialog &dialog, const QString &name, const QString &code)
{
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        return QImage();
    const QImage image = dialog.grab().toImage();
    const QString path = QStringLiteral(ORVA_ARTEFACTS_DIR "/dialog-%1-%2.png").arg(name, code);
    if (!image.save(path))
        return QImage();
    dialog.hide();
    return image;
}

/// Every text the dialog shows that the tables lack ("#dialog.143.warning").
QStringList missingTexts(const TemplateDialog &dialog)
{
    QStringList missing;
    for (const QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->text().startsWith(u'#'))
            missing << label->text();
    }
    for (const QAbstractButton *button : dialog.findChildren<QAbstractButton *>()) {
        if (button->text().startsWith(u'#'))
            missing << button->text();
    }
    if (dialog.windowTitle().startsWith(u'#'))
        missing << dialog.windowTitle();
    return missing;
}

} // namespace

class DialogScreenshotsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyDialogInGermanAndEnglish_data();
    void everyDialogInGermanAndEnglish();
    void everyWizardStepInGermanAndEnglish_data() { everyDialogInGermanAndEnglish_data(); }
    void everyWizardStepInGermanAndEnglish();
};

void DialogScreenshotsTest::initTestCase()
{
    QApplication::setWindowIcon(QIcon(QStringLiteral(ORVA_RESOURCES_DIR "/bitmaps/icon.svg")));
    QVERIFY(QDir().mkpath(QStringLiteral(ORVA_ARTEFACTS_DIR)));
}

void DialogScreenshotsTest::everyDialogInGermanAndEnglish_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("de_de") << 0;
    QTest::newRow("en_uk") << 2;
}

void DialogScreenshotsTest::everyDialogInGermanAndEnglish()
{
    QFETCH(int, language);
    const QString code = languageCode(language);
    const Result<StringTable> loaded =
        StringTable::load(QStringLiteral(ORVA_RESOURCES_DIR "/strings/%1.txt").arg(code));
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
    const StringTable &strings = loaded.value();

    OptionValues options;
    options.trainPrintMode = 2;
    options.preTestSaveMode = 0;
    options.dataDirectory = QStringLiteral("/home/orva/ORVA/data");

    AboutDialog about(strings);
    FirstStepsDialog firstSteps(strings);
    LanguageDialog languageDialog(strings, 0);
    NoticeDialog notice(strings, 145);
    OptionsDialog optionsDialog(strings, options);
    InstructionDialog instruction(strings, [] { return 0.4; }); // 40 % of the recording played

    // The training material of the name tables, with one own list, noise on and a shift.
    ORVA_Experiment model;
    model.setLanguage(DE_DE, false, false);
    model.createSyllableLists();
    SyllableList own;
    own.label = QStringLiteral("Mein1");
    own.entries = { { QStringLiteral("ba") }, { QStringLiteral("pa") }, { QStringLiteral("ga") } };
    QVERIFY(model.addOwnTrainList(own));
    model.client().setNoiseOn(true);
    model.client().setTimeShift(-1500);
    model.client().setNoiseLevel(-12);
    test::ScriptedDialogRunner runner;
    TrainingSettingsDialog training(strings, model, runner);
    OwnSyllableListDialog ownList(strings, model, runner);
    for (int step = 0; step < 3; ++step) {
        ownList.dialog().show();
        QWidget *grid = ownList.dialog().control(OwnSyllableListDialog::kGridId);
        const int rows = int(model.trainStock().size()) / 10 + 1;
        const int index = model.findInTrainStock(step == 1       ? QStringLiteral("pa")
                                                     : step == 2 ? QStringLiteral("ga")
                                                                 : QStringLiteral("ba"));
        QTest::mouseClick(grid, Qt::LeftButton, {},
                          QPoint(grid->width() / 10 * (index % 10) + 4,
                                 grid->height() / rows * (index / 10) + 4));
        ownList.dialog().controlAs<QPushButton>(OwnSyllableListDialog::kTakeOverId)->click();
    }

    ClientList clients;
    for (int i = 0; i < 6; ++i) {
        ORVA_Proband run;
        run.setLastName(QStringList({ "Meier", "Fe", "Bach", "Ohm" }).value(i % 4));
        run.setFirstName(QStringList({ "Anna", "Ida", "Max" }).value(i % 3));
        run.birthday() = ORVA_Date(3 + i, 4, 2012 + i % 4);
        run.runDate() = ORVA_Date(17, 5, 2024, 8 + i, 5 * i);
        run.setRunKind(1 + i % 3);
        clients.addRun(run);
    }
    clients.sortClients();
    ClientDatabase database(clients, strings, language);
    ClientDatabaseDialog databaseDialog(strings, database, runner, nullptr);
    // The first client clicked; the lists stay filled for the picture.
    runner.scripts << [&databaseDialog](QDialog &) {
        QS_ListControl &list = databaseDialog.clients();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualItemRect(list.topLevelItem(0)).center());
    };
    databaseDialog.run();
    const std::pair<QString, TemplateDialog *> dialogs[] = {
        { QStringLiteral("about"), &about.dialog() },
        { QStringLiteral("first-steps"), &firstSteps.dialog() },
        { QStringLiteral("instruction"), &instruction },
        { QStringLiteral("language"), &languageDialog.dialog() },
        { QStringLiteral("notice"), &notice.dialog() },
        { QStringLiteral("options"), &optionsDialog.dialog() },
        { QStringLiteral("training-settings"), &training.dialog() },
        { QStringLiteral("own-syllable-list"), &ownList.dialog() },
        { QStringLiteral("client-database"), &databaseDialog.dialog() },
    };
    for (const auto &[name, dialog] : dialogs) {
        QVERIFY2(missingTexts(*dialog).isEmpty(),
                 qPrintable(name + QStringLiteral(": ") + missingTexts(*dialog).join(u' ')));
        const QImage image = screenshot(*dialog, name, code);
        QVERIFY2(!image.isNull(), qPrintable(name));
        QCOMPARE(image.size() / image.devicePixelRatio(), dialog->size());
    }
}

void DialogScreenshotsTest::everyWizardStepInGermanAndEnglish()
{
    QFETCH(int, language);
    const QString code = languageCode(language);
    const Result<StringTable> loaded =
        StringTable::load(QStringLiteral(ORVA_RESOURCES_DIR "/strings/%1.txt").arg(code));
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
    AudioSetupDialog wizard(loaded.value(), language, AudioSetupDialog::Handlers());
    const QList<AudioSetupWizard::Step> &steps = AudioSetupWizard::steps();
    for (int index = 0; index < steps.size(); ++index) {
        wizard.showStep(steps.at(index));
        const QString name = QStringLiteral("audio-setup-step%1").arg(index);
        QVERIFY2(missingTexts(wizard).isEmpty(),
                 qPrintable(name + QStringLiteral(": ") + missingTexts(wizard).join(u' ')));
        const QImage image = screenshot(wizard, name, code);
        QVERIFY2(!image.isNull(), qPrintable(name));
    }
}

QTEST_MAIN(DialogScreenshotsTest)
#include "DialogScreenshotsTest.moc"
