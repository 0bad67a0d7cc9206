// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

namespace orva {

/// The kinds of control a dialog template holds, and the widget each becomes.
enum class ControlKind {
    Static, ///< QLabel
    GroupBox, ///< a frame drawn behind the controls inside it
    PushButton,
    DefaultPushButton, ///< the button Return presses (id 1 in every template)
    RadioButton, ///< in the radio group begun by the last button with `groupStart`
    CheckBox,
    DropDownList, ///< QComboBox, not editable
    Edit, ///< QLineEdit, scrolling sideways
    TrackBar, ///< horizontal QSlider
    ProgressBar,
    ReportList, ///< QS_ListControl
    PaintedStatic, ///< painted through the drawing surfaces by a painter the dialog sets
    Icon, ///< the program's icon
};

/// One control of a template. Controls without an id of their own have kNoId; their texts are
/// still found by `textKey`.
struct DialogControl
{
    static constexpr int kNoId = -1;

    int id = kNoId;
    ControlKind kind = ControlKind::Static;
    QRect rect; ///< in dialog units
    /// The entry of the string tables below "dialog.<template>." ("1109", "text"); empty for
    /// a control without a text, or whose text the dialog fills in at run time.
    QString textKey;
    bool groupStart = false; ///< a radio button that begins a new radio group
    bool centred = false; ///< a static whose text is centred
    int toolTipId = -1; ///< resource string of the control's tool tip; negative for none
};

/// A dialog as data: its size in dialog units, its caption and its controls in tab order.
struct DialogTemplate
{
    int id = 0;
    QSize size; ///< in dialog units
    /// The caption's resource string; the caption is set from it on opening.
    int titleId = -1;
    QList<DialogControl> controls;

    /// The full string-table key of a control's text: "dialog.<id>.<textKey>".
    QString textKey(const DialogControl &control) const;
    /// The control with `id`, or nullptr.
    const DialogControl *control(int controlId) const;
};

/// The templates of the program's dialogs. Ids: 103 About, 130 instruction, 131 training
/// settings, 132 first steps, 133 audio set-up wizard, 143 options, 146 language, 148 own
/// syllable list, 149 notice, 160 client database.
namespace DialogTemplates {

const DialogTemplate &about();
const DialogTemplate &instruction();
const DialogTemplate &firstSteps();
const DialogTemplate &audioSetup();
const DialogTemplate &options();
const DialogTemplate &language();
const DialogTemplate &notice();
const DialogTemplate &trainingSettings();
const DialogTemplate &ownSyllableList();
const DialogTemplate &clientDatabase();
/// Every template above, by ascending id.
QList<const DialogTemplate *> all();

} // namespace DialogTemplates

} // namespace orva
