// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogTemplate.h"

namespace orva {

namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;

DialogControl control(int id, ControlKind kind, QRect rect, QString textKey = QString())
{
    DialogControl result;
    result.id = id;
    result.kind = kind;
    result.rect = rect;
    result.textKey = std::move(textKey);
    return result;
}

DialogControl label(QRect rect, QString textKey)
{
    return control(DialogControl::kNoId, ControlKind::Static, rect, std::move(textKey));
}

DialogControl centredLabel(int id, QRect rect, QString textKey)
{
    DialogControl result = control(id, ControlKind::Static, rect, std::move(textKey));
    result.centred = true;
    return result;
}

DialogControl withToolTip(DialogControl control, int toolTipId)
{
    control.toolTipId = toolTipId;
    return control;
}

DialogTemplate makeAbout()
{
    DialogTemplate about;
    about.id = 103;
    about.size = QSize(184, 143);
    about.titleId = 237;
    about.controls = {
        control(kOk, ControlKind::DefaultPushButton, QRect(145, 5, 30, 11), QStringLiteral("1")),
        centredLabel(1040, QRect(26, 21, 132, 8), QString()), // the version, set on opening
        centredLabel(DialogControl::kNoId, QRect(8, 34, 167, 8), QStringLiteral("line1")),
        // The purpose takes two lines; the maker's lines follow from 53 in steps of 10.
        centredLabel(DialogControl::kNoId, QRect(8, 43, 167, 8), QStringLiteral("line2")),
        centredLabel(DialogControl::kNoId, QRect(8, 63, 167, 8), QStringLiteral("line3")),
        centredLabel(DialogControl::kNoId, QRect(8, 73, 167, 8), QStringLiteral("line4")),
        control(DialogControl::kNoId, ControlKind::Icon, QRect(84, 120, 21, 20)),
    };
    return about;
}

DialogTemplate makeInstruction()
{
    DialogTemplate instruction;
    instruction.id = 130;
    instruction.size = QSize(183, 84);
    instruction.titleId = 154;
    // The progress bar is added in pixels between the text and the button, where the text's
    // height leaves room for it.
    instruction.controls = {
        control(1051, ControlKind::Static, QRect(7, 7, 169, 32), QStringLiteral("1051")),
        control(kOk, ControlKind::DefaultPushButton, QRect(66, 63, 50, 14), QStringLiteral("1")),
    };
    return instruction;
}

DialogTemplate makeAudioSetup()
{
    DialogTemplate wizard;
    wizard.id = 133;
    wizard.size = QSize(323, 229);
    wizard.titleId = 236;
    // OK takes Abbrechen's place at the last step; the wizard shows one of the two at a time.
    // Weiter is the default button, so Return goes on rather than ending the wizard.
    wizard.controls = {
        control(1113, ControlKind::Static, QRect(25, 7, 275, 198)), // the step's text
        withToolTip(
            control(1112, ControlKind::PushButton, QRect(60, 208, 50, 14), QStringLiteral("1112")),
            235),
        withToolTip(control(1110, ControlKind::DefaultPushButton, QRect(120, 208, 50, 14),
                            QStringLiteral("1110")),
                    234),
        withToolTip(
            control(kCancel, ControlKind::PushButton, QRect(180, 208, 50, 14), QStringLiteral("2")),
            206),
        control(1115, ControlKind::PushButton, QRect(240, 208, 50, 14), QStringLiteral("1115")),
        // In Play's place at the end, where there is nothing to play.
        control(1116, ControlKind::PushButton, QRect(240, 208, 60, 14), QStringLiteral("1116")),
        withToolTip(
            control(kOk, ControlKind::PushButton, QRect(180, 208, 50, 14), QStringLiteral("1")),
            205),
    };
    return wizard;
}

DialogTemplate makeFirstSteps()
{
    DialogTemplate steps;
    steps.id = 132;
    steps.size = QSize(295, 63);
    steps.titleId = 238;
    steps.controls = {
        label(QRect(36, 7, 220, 34), QStringLiteral("text")),
        control(1109, ControlKind::CheckBox, QRect(22, 46, 179, 10), QStringLiteral("1109")),
        control(kOk, ControlKind::DefaultPushButton, QRect(221, 42, 50, 14), QStringLiteral("1")),
    };
    return steps;
}

DialogTemplate makeOptions()
{
    DialogTemplate options;
    options.id = 143;
    options.size = QSize(347, 207);
    options.titleId = 241;
    const auto frame = [](QRect rect) {
        return control(DialogControl::kNoId, ControlKind::GroupBox, rect);
    };
    options.controls = {
        frame(QRect(7, 15, 297, 66)),
        frame(QRect(7, 76, 297, 68)),
        frame(QRect(168, 15, 46, 129)),
        frame(QRect(213, 15, 47, 129)),
        label(QRect(179, 7, 27, 8), QStringLiteral("training")),
        label(QRect(226, 7, 24, 8), QStringLiteral("pretest")),
        label(QRect(265, 7, 32, 8), QStringLiteral("maintest")),
        label(QRect(21, 28, 101, 8), QStringLiteral("printAlways")),
        label(QRect(21, 47, 142, 8), QStringLiteral("printComplete")),
        label(QRect(21, 66, 72, 8), QStringLiteral("printNever")),
        label(QRect(21, 87, 102, 8), QStringLiteral("saveAlways")),
        label(QRect(21, 106, 141, 8), QStringLiteral("saveComplete")),
        label(QRect(21, 125, 98, 8), QStringLiteral("saveNever")),
    };
    // Six radio groups of three: a column (training, pre-test, main test) of the print rows or of
    // the save rows; always, after a complete run, never from top to bottom.
    const int columns[] = { 186, 232, 276 };
    const int firstIds[2][3] = { { 1115, 1121, 1127 }, { 1118, 1124, 1130 } };
    const int rowTops[2] = { 28, 85 };
    for (int block = 0; block < 2; ++block) {
        for (int column = 0; column < 3; ++column) {
            for (int row = 0; row < 3; ++row) {
                DialogControl button =
                    control(firstIds[block][column] + row, ControlKind::RadioButton,
                            QRect(columns[column], rowTops[block] + 19 * row, 18, 10));
                button.groupStart = row == 0;
                options.controls.append(button);
            }
        }
    }
    options.controls.append({
        label(QRect(21, 153, 108, 8), QStringLiteral("directory")),
        withToolTip(control(1039, ControlKind::Edit, QRect(130, 153, 143, 12)), 253),
        label(QRect(21, 162, 103, 20), QStringLiteral("warning")),
        withToolTip(control(kOk, ControlKind::DefaultPushButton, QRect(290, 169, 50, 14),
                            QStringLiteral("1")),
                    205),
        withToolTip(
            control(kCancel, ControlKind::PushButton, QRect(290, 186, 50, 14), QStringLiteral("2")),
            206),
    });
    return options;
}

DialogTemplate makeLanguage()
{
    DialogTemplate language;
    language.id = 146;
    language.size = QSize(171, 80);
    language.titleId = 356;
    language.controls = {
        label(QRect(16, 14, 140, 21), QStringLiteral("text")),
        control(32840, ControlKind::DropDownList, QRect(15, 49, 87, 70)),
        control(kOk, ControlKind::DefaultPushButton, QRect(114, 40, 50, 14), QStringLiteral("1")),
        control(kCancel, ControlKind::PushButton, QRect(114, 59, 50, 14), QStringLiteral("2")),
    };
    return language;
}

DialogTemplate makeNotice()
{
    DialogTemplate notice;
    notice.id = 149;
    notice.size = QSize(279, 85);
    notice.titleId = 147;
    notice.controls = {
        control(1154, ControlKind::Static, QRect(7, 7, 265, 54)), // the text, set on opening
        control(kOk, ControlKind::DefaultPushButton, QRect(114, 64, 50, 14), QStringLiteral("1")),
    };
    return notice;
}

DialogTemplate makeTrainingSettings()
{
    DialogTemplate settings;
    settings.id = 131;
    settings.size = QSize(426, 200);
    settings.titleId = 239;
    const auto frame = [](int id, QRect rect, QString textKey = QString()) {
        return control(id, ControlKind::GroupBox, rect, std::move(textKey));
    };
    const auto radio = [](int id, QRect rect, bool groupStart, int toolTipId) {
        DialogControl button = control(id, ControlKind::RadioButton, rect, QString::number(id));
        button.groupStart = groupStart;
        button.toolTipId = toolTipId;
        return button;
    };
    settings.controls = {
        frame(1108, QRect(11, 7, 230, 101), QStringLiteral("1108")),
        frame(1136, QRect(11, 7, 110, 56)),
        radio(1045, QRect(17, 18, 81, 10), true, -1),
        radio(1042, QRect(17, 33, 99, 10), false, 203),
        radio(1043, QRect(17, 48, 103, 10), false, 204),
        withToolTip(
            control(1046, ControlKind::CheckBox, QRect(130, 22, 102, 10), QStringLiteral("1046")),
            202),
        control(1138, ControlKind::Static, QRect(122, 42, 76, 10), QStringLiteral("1138")),
        withToolTip(control(1044, ControlKind::DropDownList, QRect(200, 40, 32, 169)), 201),
        control(1040, ControlKind::Static, QRect(12, 71, 66, 9), QStringLiteral("1040")),
        withToolTip(control(1102, ControlKind::DropDownList, QRect(80, 69, 153, 145)), 208),
        control(1114, ControlKind::PushButton, QRect(95, 87, 50, 14), QStringLiteral("1114")),
        control(1156, ControlKind::PushButton, QRect(155, 87, 50, 14), QStringLiteral("1156")),
        frame(DialogControl::kNoId, QRect(11, 103, 275, 30)),
        control(1139, ControlKind::Static, QRect(42, 115, 48, 8), QStringLiteral("1139")),
        radio(1134, QRect(104, 115, 76, 10), true, 246),
        radio(1135, QRect(193, 116, 79, 10), false, 247),
        frame(1106, QRect(11, 128, 275, 60)),
        frame(1107, QRect(240, 7, 179, 101), QStringLiteral("1107")),
        withToolTip(
            control(1103, ControlKind::CheckBox, QRect(260, 29, 93, 10), QStringLiteral("1103")),
            219),
        withToolTip(
            control(1104, ControlKind::CheckBox, QRect(260, 49, 108, 10), QStringLiteral("1104")),
            304),
        control(1137, ControlKind::Static, QRect(254, 70, 52, 8), QStringLiteral("1137")),
        withToolTip(control(1105, ControlKind::DropDownList, QRect(310, 69, 64, 78)), 220),
        withToolTip(control(kOk, ControlKind::DefaultPushButton, QRect(325, 124, 50, 14),
                            QStringLiteral("1")),
                    205),
        withToolTip(
            control(kCancel, ControlKind::PushButton, QRect(325, 156, 50, 14), QStringLiteral("2")),
            206),
    };
    return settings;
}

DialogTemplate makeOwnSyllableList()
{
    DialogTemplate own;
    own.id = 148;
    own.size = QSize(299, 373);
    own.titleId = 355;
    own.controls = {
        control(1137, ControlKind::Static, QRect(7, 7, 284, 44)), // the explanation, set on opening
        control(1039, ControlKind::PaintedStatic, QRect(7, 51, 284, 228)),
        withToolTip(
            control(1111, ControlKind::PushButton, QRect(124, 284, 50, 14), QStringLiteral("1111")),
            308),
        control(1114, ControlKind::PaintedStatic, QRect(7, 304, 284, 26)),
        label(QRect(10, 336, 129, 8), QStringLiteral("name")),
        control(1153, ControlKind::Edit, QRect(144, 334, 45, 14)),
        withToolTip(control(kOk, ControlKind::DefaultPushButton, QRect(241, 334, 50, 14),
                            QStringLiteral("1")),
                    205),
        withToolTip(
            control(kCancel, ControlKind::PushButton, QRect(241, 352, 50, 14), QStringLiteral("2")),
            206),
    };
    return own;
}

DialogTemplate makeClientDatabase()
{
    DialogTemplate database;
    database.id = 160;
    database.size = QSize(394, 209);
    database.titleId = 918;
    database.controls = {
        control(161, ControlKind::ReportList, QRect(7, 7, 191, 195)),
        control(162, ControlKind::ReportList, QRect(206, 22, 179, 133)),
        control(1228, ControlKind::PushButton, QRect(243, 167, 50, 14), QStringLiteral("1228")),
        control(kCancel, ControlKind::PushButton, QRect(329, 167, 50, 14), QStringLiteral("2")),
        control(kOk, ControlKind::DefaultPushButton, QRect(330, 188, 50, 14), QStringLiteral("1")),
    };
    return database;
}

} // namespace

QString DialogTemplate::textKey(const DialogControl &control) const
{
    return QStringLiteral("dialog.%1.%2").arg(id).arg(control.textKey);
}

const DialogControl *DialogTemplate::control(int controlId) const
{
    for (const DialogControl &candidate : controls) {
        if (candidate.id == controlId)
            return &candidate;
    }
    return nullptr;
}

namespace DialogTemplates {

const DialogTemplate &about()
{
    static const DialogTemplate s_template = makeAbout();
    return s_template;
}

const DialogTemplate &instruction()
{
    static const DialogTemplate s_template = makeInstruction();
    return s_template;
}

const DialogTemplate &audioSetup()
{
    static const DialogTemplate s_template = makeAudioSetup();
    return s_template;
}

const DialogTemplate &firstSteps()
{
    static const DialogTemplate s_template = makeFirstSteps();
    return s_template;
}

const DialogTemplate &options()
{
    static const DialogTemplate s_template = makeOptions();
    return s_template;
}

const DialogTemplate &language()
{
    static const DialogTemplate s_template = makeLanguage();
    return s_template;
}

const DialogTemplate &notice()
{
    static const DialogTemplate s_template = makeNotice();
    return s_template;
}

const DialogTemplate &trainingSettings()
{
    static const DialogTemplate s_template = makeTrainingSettings();
    return s_template;
}

const DialogTemplate &ownSyllableList()
{
    static const DialogTemplate s_template = makeOwnSyllableList();
    return s_template;
}

const DialogTemplate &clientDatabase()
{
    static const DialogTemplate s_template = makeClientDatabase();
    return s_template;
}

QList<const DialogTemplate *> all()
{
    return { &about(),   &instruction(), &trainingSettings(), &firstSteps(), &audioSetup(),
             &options(), &language(),    &ownSyllableList(),  &notice(),     &clientDatabase() };
}

} // namespace DialogTemplates

} // namespace orva
