// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace orva {

/// Resource strings by name: the numbers of the string tables (resources/strings/*.txt), which
/// every language shares. Grouped by where they appear.
namespace Text {
enum Id : int {
    // Titles of the message boxes
    kErrorTitle = 110, ///< "ORVA Fehler"
    kQuestionTitle = 140, ///< "Bestätigung"
    kWarningTitle = 146, ///< "ORVA Warnung"
    kNoticeTitle = 147, ///< "ORVA Hinweis"
    kProgramName = 272, ///< "ORVA"
    kVersion = 285, ///< "Version %s"

    // Start-up
    kMaterialMissing = 111,
    kTestMaterialMissing = 251,
    kSettingsMissing = 252,
    kDataFolderMissingBefore = 254,
    kDataFolderMissingAfter = 255,
    kDataFolderInUse = 907,
    kUnplayableRecordings = 912,
    kLinkOutOfDataFolder = 950,
    kLinkLeadsNowhere = 951,

    // Files
    kCannotOpenFile = 137,
    kSameClient = 139,
    kInvalidName = 141,
    kInvalidBirthday = 142,
    kFileSaved = 151,
    kAskToSave = 153,
    kPreviousFileUnchanged = 903,
    kReplaceFile = 906,
    kOpenUnsavedRun = 908,
    kNotAvailableYet = 901,
    kProgramNotStarted = 915,

    // Sound
    kNoOutput = 910,
    kNoInput = 911,

    // Captions and buttons of the main window
    kWrongButton = 104,
    kAbortButton = 105,
    kRejectButton = 106,
    kFirstNameCaption = 108,
    kLastNameCaption = 112,
    kBirthdayCaption = 113,
    kRunDateCaption = 114,
    kCommentCaption = 115,
    kRemainingCaption = 121,
    kTimeCaption = 122,
    kCurrentSyllableCaption = 123,
    kPrintButton = 313,
    kShowTestsBox = 315,
    kShowSyllablesBox = 317,
    kCloseReportButton = 319,

    // Tool tips of the main window
    kAnswerTimeBarTip = 156,
    kChartTip = 176,
    kLevelMeterTip = 177,
    kEvaluationTip = 178,
    kCurrentSyllablesTip = 179,
    kCurrentSyllableTip = 180,
    kReactionTimeTip = 181,
    kRemainingTip = 182,
    kTrainingSettingsTip = 184,
    kLogoTip = 185,
    kWrongButtonTip = 189,
    kRejectButtonTip = 190,
    kAbortButtonTip = 191,
    kFirstNameTip = 193,
    kLastNameTip = 194,
    kBirthdayTip = 195,
    kRunDateTip = 196,
    kCommentTip = 197,
    kThresholdTip = 198,
    kPrintButtonTip = 314,
    kShowTestsTip = 316,
    kShowSyllablesTip = 318,
    kReportChartTip = 350,

    // Panels
    kAverage = 120,
    kTimeShift = 150,
    kNoiseLevel = 155,
    kRightShort = 161,
    kWrongShort = 162,
    kNoAnswerShort = 163,
    kMainTestShort = 164,
    kPreTestShort = 165,
    kTrainingShort = 166,
    kSyllableCount = 168,
    kTrainingTitle = 169,
    kSyllableChoice = 170,
    kRandomChoice = 171,
    kStandardChoice = 172,
    kRepeat = 174,
    kNoRepeat = 175,
    kChartGuide = 245,
};
} // namespace Text

} // namespace orva
