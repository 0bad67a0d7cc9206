// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/TemplateDialog.h"
#include "engine/TrainingSettings.h"

#include <QRegion>

#include <memory>

class QSlider;

namespace orva {

class DialogRunner;
class ORVA_Experiment;

/// How a training run of the current client is put together and shown: list, run length,
/// selection, display, noise and the picture-to-sound shift. Works on a copy of the client's
/// training keys that only OK writes back; "Eigene Liste" and "Löschen" change the run model's
/// lists at once. UI thread only.
class TrainingSettingsDialog : public QObject
{
    Q_OBJECT

public:
    static constexpr int kInOrderId = 1045;
    static constexpr int kShuffledId = 1042;
    static constexpr int kRandomId = 1043;
    static constexpr int kRepeatId = 1046;
    static constexpr int kMultipleId = 1044;
    static constexpr int kListBoxId = 1102;
    static constexpr int kOwnListId = 1114;
    static constexpr int kDeleteId = 1156;
    static constexpr int kSingleId = 1134;
    static constexpr int kGroupId = 1135;
    static constexpr int kShiftFrameId = 1106;
    static constexpr int kNoiseFrameId = 1107;
    static constexpr int kNoiseOnId = 1103;
    static constexpr int kNoiseContinuousId = 1104;
    static constexpr int kNoiseTypeId = 1105;
    static constexpr int kNoiseSliderId = 1036;
    static constexpr int kShiftSliderId = 1013;

    /// `experiment` holds the client and the lists; `runner` runs the own-list dialog. Both must
    /// outlive the dialog.
    TrainingSettingsDialog(const StringTable &strings,
                           ORVA_Experiment &experiment,
                           DialogRunner &runner,
                           QWidget *owner = nullptr);
    ~TrainingSettingsDialog() override;

    TemplateDialog &dialog() { return m_dialog; }
    QSlider *shiftSlider() const { return m_shiftSlider; }
    QSlider *noiseSlider() const { return m_noiseSlider; }
    /// The working copy as OK would write it now.
    TrainingSettings editedValues() const;
    /// The region the two slider labels are painted in; only it is repainted on a slider move.
    const QRegion &labelRegion() const { return m_labelRegion; }
    /// Runs the dialog; on OK the values go back to the client record. True on OK.
    bool run();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillListBox();
    void fillMultiples();
    void setMode(int mode);
    void onNoiseOn(bool on);
    void onListChanged();
    void onOwnList();
    void onDelete();
    int chosenListOfBox() const;
    void paintScales(QPainter &painter);

    const StringTable &m_strings;
    ORVA_Experiment &m_experiment;
    DialogRunner &m_runner;
    TemplateDialog m_dialog;
    TrainingSettings m_values;
    TrainingListChoice m_choice;
    QSlider *m_shiftSlider = nullptr; // children of the dialog
    QSlider *m_noiseSlider = nullptr;
    QRegion m_labelRegion;
    bool m_filling = false; // the boxes are being refilled: their signals are not the operator's
};

} // namespace orva
