// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TrainingSettingsDialog.h"

#include "dialogs/DialogRunner.h"
#include "dialogs/OwnSyllableListDialog.h"
#include "engine/ORVA_Experiment.h"
#include "report/DrawingSurface.h"
#include "report/Palette.h"
#include "support/StringTable.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

namespace orva {

namespace {

constexpr int kThumbLength = 22;
constexpr int kSliderThickness = 24;
constexpr int kLabelHeight = 16;
constexpr int kNoiseLabelWidth = 128;
constexpr int kShiftText = 150;
constexpr int kNoiseLevelText = 155;
constexpr int kNoiseText = 209;
constexpr int kVoicesText = 210;
constexpr int kCaptionText = 239;
constexpr int kShiftToolTip = 199;
constexpr int kNoiseToolTip = 200;

QSlider *makeSlider(QWidget *parent, Qt::Orientation orientation)
{
    auto *slider = new QSlider(orientation, parent); // the dialog owns it
    slider->setTickPosition(QSlider::NoTicks);
    slider->setPageStep(1);
    slider->setSingleStep(1);
    return slider;
}

} // namespace

TrainingSettingsDialog::TrainingSettingsDialog(const StringTable &strings,
                                               ORVA_Experiment &experiment,
                                               DialogRunner &runner,
                                               QWidget *owner)
    : m_strings(strings)
    , m_experiment(experiment)
    , m_runner(runner)
    , m_dialog(DialogTemplates::trainingSettings(), strings, owner)
    , m_values(TrainingSettings::fromClient(experiment.client(), experiment.expLanguage()))
{
    m_filling = true;
    m_dialog.setWindowTitle(strings.text(kCaptionText));

    const QRect shiftFrame = m_dialog.control(kShiftFrameId)->geometry();
    m_shiftSlider = makeSlider(&m_dialog, Qt::Horizontal);
    m_shiftSlider->setGeometry(shiftFrame.left() + 20,
                               shiftFrame.center().y() - kSliderThickness / 2,
                               shiftFrame.width() - 40, kSliderThickness);
    m_shiftSlider->setRange(-ORVA_Proband::kMaxTimeShiftMs, ORVA_Proband::kMaxTimeShiftMs);
    m_shiftSlider->setTickInterval(200);
    m_shiftSlider->setValue(m_values.timeShift);

    const QRect noiseFrame = m_dialog.control(kNoiseFrameId)->geometry();
    m_noiseSlider = makeSlider(&m_dialog, Qt::Vertical);
    m_noiseSlider->setGeometry(noiseFrame.right() + 1 - 2 * kSliderThickness - 20,
                               noiseFrame.top() + 20, kSliderThickness, noiseFrame.height() - 40);
    // The control counts the negated level, so that the loudest setting is at the top.
    m_noiseSlider->setRange(-ORVA_Proband::kMaxNoiseLevelDb, -ORVA_Proband::kMinNoiseLevelDb);
    m_noiseSlider->setInvertedAppearance(true);
    m_noiseSlider->setValue(-m_values.noiseLevel);
    m_dialog.addToolTip(m_shiftSlider, kShiftToolTip);
    m_dialog.addToolTip(m_noiseSlider, kNoiseToolTip);

    const QRect shift = m_shiftSlider->geometry();
    const QRect noise = m_noiseSlider->geometry();
    m_labelRegion = QRegion(shift.left(), shift.top() - kLabelHeight, shift.width(), kLabelHeight)
                        .united(QRect(noise.left() - kNoiseLabelWidth, noise.top() - kLabelHeight,
                                      kNoiseLabelWidth, kLabelHeight));
    // The noise label is drawn at the slider's top edge: its band reaches down to it as well.
    m_labelRegion = m_labelRegion.united(
        QRect(noise.left() - kNoiseLabelWidth, noise.top(), kNoiseLabelWidth, kLabelHeight));

    auto *noiseOn = m_dialog.controlAs<QCheckBox>(kNoiseOnId);
    auto *continuous = m_dialog.controlAs<QCheckBox>(kNoiseContinuousId);
    noiseOn->setChecked(m_values.noiseOn);
    continuous->setChecked(m_values.noiseContinuous);
    auto *noiseType = m_dialog.controlAs<QComboBox>(kNoiseTypeId);
    noiseType->addItems({ strings.text(kNoiseText), strings.text(kVoicesText) });
    noiseType->setCurrentIndex(
        m_values.noiseType >= 0 && m_values.noiseType < 2 ? m_values.noiseType : -1);
    onNoiseOn(m_values.noiseOn);

    fillMultiples();
    m_dialog.controlAs<QCheckBox>(kRepeatId)->setChecked(m_values.repeat);
    // A stored selection outside 1..3 shows the default and stays as stored until clicked.
    const int checked = m_values.selection == 2 ? kRandomId
        : m_values.selection == 3               ? kInOrderId
                                                : kShuffledId;
    m_dialog.checkInGroup(m_dialog.radioGroup(kShuffledId), checked);
    m_dialog.checkInGroup(m_dialog.radioGroup(kSingleId),
                          m_values.displayMode == 0 ? kSingleId : kGroupId);
    fillListBox();
    m_dialog.control(kListBoxId)->setEnabled(m_values.selection != 2);
    m_filling = false;

    connect(m_dialog.radioGroup(kShuffledId), &QButtonGroup::idClicked, this, [this](int id) {
        setMode(id == kRandomId ? 2 : id == kInOrderId ? 3 : 1);
    });
    connect(m_dialog.radioGroup(kSingleId), &QButtonGroup::idClicked, this,
            [this](int id) { m_values.displayMode = id == kSingleId ? 0 : 1; });
    connect(m_dialog.controlAs<QCheckBox>(kRepeatId), &QCheckBox::toggled, this,
            [this](bool on) { m_values.repeat = on; });
    connect(m_dialog.controlAs<QComboBox>(kMultipleId), &QComboBox::currentIndexChanged, this,
            [this](int index) {
                if (!m_filling)
                    m_values.repetitions = index + 1;
            });
    connect(m_dialog.controlAs<QComboBox>(kListBoxId), &QComboBox::currentIndexChanged, this,
            [this] {
                if (!m_filling)
                    onListChanged();
            });
    connect(noiseOn, &QCheckBox::toggled, this, [this](bool on) { onNoiseOn(on); });
    connect(continuous, &QCheckBox::toggled, this,
            [this](bool on) { m_values.noiseContinuous = on; });
    connect(m_dialog.controlAs<QPushButton>(kOwnListId), &QPushButton::clicked, this,
            [this] { onOwnList(); });
    connect(m_dialog.controlAs<QPushButton>(kDeleteId), &QPushButton::clicked, this,
            [this] { onDelete(); });
    connect(m_shiftSlider, &QSlider::valueChanged, this, [this](int value) {
        m_values.timeShift = value;
        m_dialog.update(m_labelRegion);
    });
    connect(m_noiseSlider, &QSlider::valueChanged, this, [this](int value) {
        m_values.noiseLevel = -value;
        m_dialog.update(m_labelRegion);
    });
    m_dialog.installEventFilter(this);
}

TrainingSettingsDialog::~TrainingSettingsDialog()
{
    m_dialog.removeEventFilter(this);
}

void TrainingSettingsDialog::setMode(int mode)
{
    m_values.selection = mode;
    m_dialog.control(kListBoxId)->setEnabled(mode != 2);
}

void TrainingSettingsDialog::onNoiseOn(bool on)
{
    m_values.noiseOn = on;
    m_dialog.control(kNoiseContinuousId)->setEnabled(on);
    m_dialog.control(kNoiseTypeId)->setEnabled(on);
    m_noiseSlider->setEnabled(on);
}

void TrainingSettingsDialog::fillListBox()
{
    const bool filling = m_filling;
    m_filling = true;
    auto *box = m_dialog.controlAs<QComboBox>(kListBoxId);
    box->clear();
    m_choice.fill(m_experiment.trainSyllableList());
    box->addItems(m_choice.texts());
    // The working choice, which is the record's until the operator picks another: after "Eigene
    // Liste" the box must not show another list than the one the run lengths are offered for.
    box->setCurrentIndex(m_choice.indexOf(m_values.chosenList));
    m_filling = filling;
}

void TrainingSettingsDialog::fillMultiples()
{
    const bool filling = m_filling;
    m_filling = true;
    auto *box = m_dialog.controlAs<QComboBox>(kMultipleId);
    box->clear();
    box->addItems(TrainingListChoice::multiples(
        m_experiment.trainSyllableList().sizeOf(m_values.chosenList)));
    box->setCurrentIndex(
        m_values.repetitions >= 1 && m_values.repetitions <= 10 ? m_values.repetitions - 1 : -1);
    m_filling = filling;
}

int TrainingSettingsDialog::chosenListOfBox() const
{
    return m_choice.idAt(m_dialog.controlAs<QComboBox>(kListBoxId)->currentIndex());
}

void TrainingSettingsDialog::onListChanged()
{
    m_values.chosenList = chosenListOfBox();
    fillMultiples();
}

void TrainingSettingsDialog::onOwnList()
{
    OwnSyllableListDialog own(m_strings, m_experiment, m_runner, &m_dialog);
    own.run();
    fillListBox();
}

void TrainingSettingsDialog::onDelete()
{
    m_experiment.deactivateOwnList(chosenListOfBox());
    fillListBox();
    m_values.chosenList = chosenListOfBox();
    fillMultiples();
}

TrainingSettings TrainingSettingsDialog::editedValues() const
{
    TrainingSettings values = m_values;
    values.repetitions = m_dialog.controlAs<QComboBox>(kMultipleId)->currentIndex() + 1;
    values.chosenList = chosenListOfBox();
    values.noiseType = m_dialog.controlAs<QComboBox>(kNoiseTypeId)->currentIndex();
    return values;
}

bool TrainingSettingsDialog::run()
{
    if (m_runner.run(m_dialog) != QDialog::Accepted)
        return false;
    editedValues().writeTo(m_experiment.client(), m_experiment.expLanguage());
    return true;
}

bool TrainingSettingsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_dialog && event->type() == QEvent::Paint) {
        QPainter painter(&m_dialog);
        paintScales(painter);
    }
    return false;
}

void TrainingSettingsDialog::paintScales(QPainter &painter)
{
    Palette palette(m_dialog.palette());
    DrawingSurface surface(palette);
    surface.begin(&painter, m_dialog.rect());
    const QFont font = m_dialog.font();
    surface.setFont(&font);
    const int charWidth = surface.averageCharWidth();
    const int textHeight = surface.textHeight();
    surface.setBackgroundColor(Palette::kButtonFace);

    if (m_shiftSlider->isVisible()) {
        const QRect slider = m_shiftSlider->geometry();
        surface.setTextColor(Palette::kNearBlack);
        surface.opaque();
        surface.alignLeft();
        surface.textOut(
            slider.left(), slider.top() - textHeight,
            QStringLiteral("%1 (%2ms)   ").arg(m_strings.text(kShiftText)).arg(m_values.timeShift));
        surface.transparent();
        const int x0 = slider.left() + kThumbLength / 2;
        const int x1 = slider.right() + 1 - kThumbLength / 2;
        const int y0 = slider.bottom() + 1;
        const int y1 = y0 + slider.height();
        for (int v = -5000, step = 0; v <= 5000; v += 500, ++step) {
            const int x = x0 + int((v + 5000) / 10000.0 * (x1 - x0));
            surface.vertical(Palette::kNearBlack, 1, x, y0, y0 + (y1 - y0) / 2 - 5);
            if (step % 5 == 0)
                surface.drawText(
                    QRect(x - 3 * charWidth, y0 + (y1 - y0) / 2 - 3, 6 * charWidth, textHeight),
                    false, true, QString::number(v));
        }
    }
    if (m_noiseSlider->isVisible()) {
        const QRect slider = m_noiseSlider->geometry();
        surface.setTextColor(Palette::kNearBlack);
        surface.opaque();
        const QString label =
            m_strings.text(kNoiseLevelText) + QString::asprintf(" (%3ddB) ", m_values.noiseLevel);
        surface.alignRight();
        surface.textOut(slider.left(), slider.top(), label);
        surface.alignLeft();
        surface.transparent();
        const int yTop = slider.top() + slider.width() / 2;
        const int yBottom = slider.bottom() + 1 - slider.width() / 2;
        const int right = slider.right() + 1;
        for (int v = -3; v >= -27; v -= 6) {
            const int y = yBottom - int((v + 30) / 27.0 * (yBottom - yTop));
            surface.horizontal(Palette::kNearBlack, 1, right, right + 7, y);
            surface.alignRight();
            surface.textOut(right + 5 * charWidth, y - textHeight / 2, QString::number(v));
            surface.alignLeft();
        }
    }
    surface.end();
}

} // namespace orva
