// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of every dialog in German and English, kept as artefacts of the build for review.
#include "dialogs/AboutDialog.h"
#include "dialogs/AudioSetupDialog.h"
#include "dialogs/FirstStepsDialog.h"
#include "dialogs/InstructionDialog.h"
#include "dialogs/LanguageDialog.h"
#include "dialogs/NoticeDialog.h"
#include "dialogs/OptionsDialog.h"
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
    const std::pair<QString, TemplateDialog *> dialogs[] = {
        { QStringLiteral("about"), &about.dialog() },
        { QStringLiteral("first-steps"), &firstSteps.dialog() },
        { QStringLiteral("instruction"), &instruction },
        { QStringLiteral("language"), &languageDialog.dialog() },
        { QStringLiteral("notice"), &notice.dialog() },
        { QStringLiteral("options"), &optionsDialog.dialog() },
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
