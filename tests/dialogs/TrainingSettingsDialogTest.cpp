// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TrainingSettingsDialog.h"

#include "dialogs/OwnSyllableListDialog.h"
#include "engine/ORVA_Experiment.h"
#include "fakes/ScriptedDialogRunner.h"
#include "support/StringTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

using namespace orva;
using orva::test::ScriptedDialogRunner;

namespace {

void click(QDialog &dialog, int id)
{
    QWidget *target = static_cast<TemplateDialog &>(dialog).control(id);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(6, target->height() / 2));
}

QComboBox *box(TrainingSettingsDialog &settings, int id)
{
    return settings.dialog().controlAs<QComboBox>(id);
}

QStringList entries(QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

/// Double-clicks the grid cell of each syllable of `names`, names the list and presses OK.
ScriptedDialogRunner::Script makeOwnList(QStringList names, QString name, ORVA_Experiment &model)
{
    return [names, name, &model](QDialog &dialog) {
        auto &own = static_cast<TemplateDialog &>(dialog);
        QWidget *grid = own.control(OwnSyllableListDialog::kGridId);
        const int rows = int(model.trainStock().size()) / 10 + 1;
        for (const QString &syllable : names) {
            const int index = model.findInTrainStock(syllable);
            const QPoint centre(grid->width() / 10 * (index % 10) + grid->width() / 20,
                                grid->height() / rows * (index / 10) + grid->height() / rows / 2);
            QTest::mouseDClick(grid, Qt::LeftButton, {}, centre);
        }
        QTest::keyClicks(own.control(OwnSyllableListDialog::kNameId), name);
        for (QPushButton *button : own.findChildren<QPushButton *>()) {
            if (button->isDefault())
                button->click();
        }
    };
}

} // namespace

class TrainingSettingsDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void opensWithTheClientsValues();
    void storedSelectionOutsideTheRangeStaysUntilClicked();
    void okWritesEveryControlBackAndAbbrechenNothing();
    void randomFromAllDisablesTheListButKeepsItsMultiples();
    void noiseControlsFollowTheNoiseSwitch();
    void deletingTheChosenOwnListLeavesNothingSelected();
    void deletingABuiltInListChangesNothing();
    void countOutsideTheRangeOpensWithoutSelection();
    void ownListMadeHereIsOfferedAndStaysAfterAbbrechen();
    void listPickedBeforeAnOwnListIsMadeStaysPicked();
    void movingASliderRepaintsOnlyItsLabelAndItself();

private:
    std::unique_ptr<ORVA_Experiment> m_model;
};

void TrainingSettingsDialogTest::init()
{
    m_model = std::make_unique<ORVA_Experiment>();
    m_model->setLanguage(DE_DE, false, false);
    m_model->createSyllableLists();
    m_model->client().setChosenList(DE_DE, 0);
    m_model->client().setRepetitions(5);
}

void TrainingSettingsDialogTest::opensWithTheClientsValues()
{
    m_model->client().setTimeShift(-1200);
    m_model->client().setNoiseLevel(-21);
    m_model->client().setSyllableSelection(3);
    m_model->client().setDisplayMode(false);
    ScriptedDialogRunner runner;
    TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
    QCOMPARE(settings.dialog().windowTitle(), QStringLiteral("ORVA: Einstellungen Training"));
    QCOMPARE(settings.shiftSlider()->value(), -1200);
    QCOMPARE(settings.noiseSlider()->value(), 21);
    QCOMPARE(settings.dialog().radioGroup(TrainingSettingsDialog::kInOrderId)->checkedId(),
             TrainingSettingsDialog::kInOrderId);
    QCOMPARE(settings.dialog().radioGroup(TrainingSettingsDialog::kSingleId)->checkedId(),
             TrainingSettingsDialog::kSingleId);
    QComboBox *lists = box(settings, TrainingSettingsDialog::kListBoxId);
    QCOMPARE(lists->currentIndex(), 0);
    QVERIFY(lists->currentText().startsWith(QStringLiteral("[ ")));
    const int size = m_model->trainSyllableList().sizeOf(0);
    QCOMPARE(box(settings, TrainingSettingsDialog::kMultipleId)->currentText(),
             QString::asprintf("%2d", 5 * size));
    QCOMPARE(entries(box(settings, TrainingSettingsDialog::kNoiseTypeId)),
             QStringList({ "Rauschen", "Stimmen" }));
    // The sliders made at run time have their tool tips like the template's controls.
    QList<int> sliderTips;
    for (const CToolTip::Area &area : settings.dialog().toolTip().areas()) {
        if (area.key == settings.shiftSlider() || area.key == settings.noiseSlider())
            sliderTips << area.textId;
    }
    QCOMPARE(sliderTips, QList<int>({ 199, 200 }));
}

void TrainingSettingsDialogTest::storedSelectionOutsideTheRangeStaysUntilClicked()
{
    m_model->client().setSyllableSelection(7);
    ScriptedDialogRunner runner;
    {
        TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
        QCOMPARE(settings.dialog().radioGroup(TrainingSettingsDialog::kShuffledId)->checkedId(),
                 TrainingSettingsDialog::kShuffledId);
        QVERIFY(settings.run());
        QCOMPARE(m_model->client().syllableSelection(), 7);
    }
    runner.scripts << [](QDialog &dialog) {
        click(dialog, TrainingSettingsDialog::kShuffledId);
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
    QVERIFY(settings.run());
    QCOMPARE(m_model->client().syllableSelection(), 1);
}

void TrainingSettingsDialogTest::okWritesEveryControlBackAndAbbrechenNothing()
{
    const auto edit = [](QDialog &dialog) {
        auto &d = static_cast<TemplateDialog &>(dialog);
        click(dialog, TrainingSettingsDialog::kInOrderId);
        click(dialog, TrainingSettingsDialog::kRepeatId);
        click(dialog, TrainingSettingsDialog::kSingleId);
        click(dialog, TrainingSettingsDialog::kNoiseOnId);
        click(dialog, TrainingSettingsDialog::kNoiseContinuousId);
        d.controlAs<QComboBox>(TrainingSettingsDialog::kNoiseTypeId)->setCurrentIndex(1);
        d.controlAs<QComboBox>(TrainingSettingsDialog::kMultipleId)->setCurrentIndex(2);
        auto *shift = d.findChildren<QSlider *>().value(0);
        auto *noise = d.findChildren<QSlider *>().value(1);
        shift->setFocus();
        QTest::keyClick(shift, Qt::Key_Home); // the left end: -5000 ms
        noise->setFocus();
        QTest::keyClick(noise, Qt::Key_Home); // the top end: the loudest, -3 dB
    };
    const ORVA_Proband before = m_model->client();
    ScriptedDialogRunner runner;
    runner.scripts << [edit](QDialog &dialog) {
        edit(dialog);
        dialog.reject();
    };
    {
        TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
        QVERIFY(!settings.run());
        QCOMPARE(m_model->client().repeat(), before.repeat());
        QCOMPARE(m_model->client().timeShift(), before.timeShift());
        QCOMPARE(m_model->client().noiseOn(), before.noiseOn());
    }
    runner.scripts << [edit](QDialog &dialog) {
        edit(dialog);
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
    QVERIFY(settings.run());
    const ORVA_Proband &client = m_model->client();
    QCOMPARE(client.syllableSelection(), 3);
    QCOMPARE(client.repeat(), !before.repeat());
    QCOMPARE(client.displayMode(), false);
    QCOMPARE(client.noiseOn(), true);
    QCOMPARE(client.noiseContinuous(), true);
    QCOMPARE(client.noiseType(), 1);
    QCOMPARE(client.repetitions(), 3);
    QCOMPARE(client.timeShift(), -5000);
    QCOMPARE(client.noiseLevel(), -3);
    QCOMPARE(client.chosenList(DE_DE), 0);
}

void TrainingSettingsDialogTest::randomFromAllDisablesTheListButKeepsItsMultiples()
{
    ScriptedDialogRunner runner;
    TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
    settings.dialog().show();
    const QStringList multiples = entries(box(settings, TrainingSettingsDialog::kMultipleId));
    click(settings.dialog(), TrainingSettingsDialog::kRandomId);
    QVERIFY(!box(settings, TrainingSettingsDialog::kListBoxId)->isEnabled());
    QCOMPARE(entries(box(settings, TrainingSettingsDialog::kMultipleId)), multiples);
    QCOMPARE(settings.editedValues().selection, 2);
    click(settings.dialog(), TrainingSettingsDialog::kInOrderId);
    QVERIFY(box(settings, TrainingSettingsDialog::kListBoxId)->isEnabled());
}

void TrainingSettingsDialogTest::noiseControlsFollowTheNoiseSwitch()
{
    ScriptedDialogRunner runner;
    TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
    settings.dialog().show();
    const auto enabled = [&settings] {
        return QList<bool> {
            settings.dialog().control(TrainingSettingsDialog::kNoiseContinuousId)->isEnabled(),
            settings.dialog().control(TrainingSettingsDialog::kNoiseTypeId)->isEnabled(),
            settings.noiseSlider()->isEnabled()
        };
    };
    QCOMPARE(enabled(), QList<bool>({ false, false, false }));
    click(settings.dialog(), TrainingSettingsDialog::kNoiseOnId);
    QCOMPARE(enabled(), QList<bool>({ true, true, true }));
}

void TrainingSettingsDialogTest::deletingTheChosenOwnListLeavesNothingSelected()
{
    SyllableList own;
    own.label = QStringLiteral("Mein");
    own.entries = { { QStringLiteral("ba") }, { QStringLiteral("pa") } };
    QVERIFY(m_model->addOwnTrainList(own));
    const int id = m_model->trainSyllableList().lists().last().id;
    m_model->client().setChosenList(DE_DE, id);

    ScriptedDialogRunner runner;
    runner.scripts << [](QDialog &dialog) {
        static_cast<TemplateDialog &>(dialog)
            .controlAs<QPushButton>(TrainingSettingsDialog::kDeleteId)
            ->click();
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
    QCOMPARE(box(settings, TrainingSettingsDialog::kListBoxId)->currentText(),
             QStringLiteral("{ Mein } ba pa"));
    QVERIFY(settings.run());
    QCOMPARE(box(settings, TrainingSettingsDialog::kListBoxId)->currentIndex(), -1);
    QCOMPARE(entries(box(settings, TrainingSettingsDialog::kMultipleId)),
             QStringList(10, QStringLiteral(" 0")));
    QVERIFY(!m_model->trainSyllableList().byId(id)->active);
    QCOMPARE(m_model->client().chosenList(DE_DE), -1);
    QCOMPARE(m_model->client().repetitions(), 5);
}

void TrainingSettingsDialogTest::deletingABuiltInListChangesNothing()
{
    ScriptedDialogRunner runner;
    TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
    const QStringList before = entries(box(settings, TrainingSettingsDialog::kListBoxId));
    settings.dialog().controlAs<QPushButton>(TrainingSettingsDialog::kDeleteId)->click();
    QCOMPARE(entries(box(settings, TrainingSettingsDialog::kListBoxId)), before);
    QCOMPARE(box(settings, TrainingSettingsDialog::kListBoxId)->currentIndex(), 0);
    QVERIFY(m_model->trainSyllableList().byId(0)->active);
}

void TrainingSettingsDialogTest::countOutsideTheRangeOpensWithoutSelection()
{
    m_model->client().setRepetitions(11);
    ScriptedDialogRunner runner;
    TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
    QCOMPARE(box(settings, TrainingSettingsDialog::kMultipleId)->currentIndex(), -1);
    QVERIFY(settings.run());
    QCOMPARE(m_model->client().repetitions(), 0); // the training start refuses it
}

void TrainingSettingsDialogTest::ownListMadeHereIsOfferedAndStaysAfterAbbrechen()
{
    ScriptedDialogRunner runner;
    QStringList offered;
    runner.scripts << [&offered](QDialog &dialog) {
        auto &d = static_cast<TemplateDialog &>(dialog);
        d.controlAs<QPushButton>(TrainingSettingsDialog::kOwnListId)->click();
        offered = entries(d.controlAs<QComboBox>(TrainingSettingsDialog::kListBoxId));
        dialog.reject();
    };
    runner.scripts << makeOwnList({ "ba", "pa", "ga" }, QStringLiteral("Mein1"), *m_model);
    TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
    QVERIFY(!settings.run());
    QVERIFY2(offered.contains(QStringLiteral("{ Mein1 } ba pa ga")), qPrintable(offered.join('|')));
    const SyllableList &added = m_model->trainSyllableList().lists().last();
    QCOMPARE(added.displayText(), QStringLiteral("{ Mein1 } ba pa ga"));
    QCOMPARE(added.id, SyllableListSet::kFirstOwnId);
    QCOMPARE(m_model->client().chosenList(DE_DE), 0); // Abbrechen wrote nothing back
}

void TrainingSettingsDialogTest::listPickedBeforeAnOwnListIsMadeStaysPicked()
{
    ScriptedDialogRunner runner;
    runner.scripts << [](QDialog &dialog) {
        auto &d = static_cast<TemplateDialog &>(dialog);
        d.controlAs<QComboBox>(TrainingSettingsDialog::kListBoxId)->setCurrentIndex(1);
        d.controlAs<QPushButton>(TrainingSettingsDialog::kOwnListId)->click();
        QTest::keyClick(&dialog, Qt::Key_Return);
    };
    runner.scripts << makeOwnList({ "ba" }, QStringLiteral("Eins"), *m_model);
    TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
    const int second = m_model->trainSyllableList().at(1).id;
    QVERIFY(settings.run());
    QCOMPARE(box(settings, TrainingSettingsDialog::kListBoxId)->currentIndex(), 1);
    QCOMPARE(m_model->client().chosenList(DE_DE), second);
    QCOMPARE(box(settings, TrainingSettingsDialog::kMultipleId)->itemText(0),
             QString::asprintf("%2d", m_model->trainSyllableList().sizeOf(second)));
}

void TrainingSettingsDialogTest::movingASliderRepaintsOnlyItsLabelAndItself()
{
    ScriptedDialogRunner runner;
    m_model->client().setNoiseOn(true);
    TrainingSettingsDialog settings(StringTable::german(), *m_model, runner);
    settings.dialog().show();
    QVERIFY(QTest::qWaitForWindowExposed(&settings.dialog()));
    const QImage before = settings.dialog().grab().toImage();
    for (QSlider *slider : { settings.shiftSlider(), settings.noiseSlider() }) {
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_End);
    }
    QCOMPARE(settings.editedValues().timeShift, 5000);
    QCOMPARE(settings.editedValues().noiseLevel, -30);
    const QImage after = settings.dialog().grab().toImage();
    QRegion allowed = settings.labelRegion();
    allowed += settings.shiftSlider()->geometry();
    allowed += settings.noiseSlider()->geometry();
    int changedInLabels = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) == after.pixel(x, y))
                continue;
            QVERIFY2(allowed.contains(QPoint(x, y)),
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            if (settings.labelRegion().contains(QPoint(x, y)))
                ++changedInLabels;
        }
    }
    QVERIFY(changedInLabels > 0); // the new values are shown
}

QTEST_MAIN(TrainingSettingsDialogTest)
#include "TrainingSettingsDialogTest.moc"
