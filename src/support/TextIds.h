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
    kLatencyTestCaption = 921,
    kLatencyTestIntro = 922,
    kLatencyTestMeasure = 923,
    kLatencyTestKeep = 924,
    kLatencyTestResult = 925,
    kLatencyTestNotHeard = 926,
    kLatencyTestSoundFault = 927,
    kLatencyTestNoSound = 928,
    kLatencyTestUntrusted = 929,
    kLatencyOtherDevices = 930,
    kLatencyUntrusted = 931,
    kLatencyNote = 932,
    kLatencyTestRunning = 933,
    kLatencyTestKept = 934,
    kLatencyTestClose = 935,

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

    // The result printout
    kResultTitle = 159, ///< "Ergebnisse des ORVA"
    kResultClient = 160, ///< "Klient"
    kResultMode = 243, ///< "Modus"
    kResultTimeOfDay = 244, ///< "Uhrzeit"
    kPreTestName = 128,
    kMainTestName = 129,
    kTrainingName = 130,
    kResultsCaption = 157, ///< "Versuchsergebnisse"
    kResultsLegend = 152,
    kStatisticsCaption = 158, ///< "Statistik"
    kEvaluationRow = 116,
    kReactionTimeRow = 117,
    kRightAnswersRow = 118,
    kWrongAnswersRow = 124,
    kNoAnswersRow = 119,
    kCreatedWith = 249, ///< "Erstellt mit dem ORVA Version"
    kMaker = 250,

    // The training report
    kReportClient = 320,
    kReportBirthday = 321,
    kReportNoEntries = 322,
    kReportPeriod = 323,
    kReportTotalTime = 324,
    kReportTrainingTime = 325,
    kReportTestTime = 326,
    kReportEntries = 327,
    kReportTrainings = 328,
    kReportTests = 329,
    kReportDistinctSyllables = 330,
    kReportTrainedSyllables = 331,
    kReportTestedSyllables = 332,
    kReportDay = 333,
    kReportDays = 334,
    kReportPracticeDays = 335,
    kReportTimePerDay = 336,
    kReportSyllablesPerDay = 337,
    kReportRuns = 338, ///< "Übungen"
    kReportSyllables = 339, ///< "Trainierte Silben"
    kReportNoSyllables = 340,
    kReportNumber = 341,
    kReportDate = 342,
    kReportDuration = 343,
    kReportType = 344,
    kReportPresented = 345,
    kReportDistinct = 346,
    kReportSyllable = 347,
    kReportCorrectOfWord = 351,
    kReportCorrect = 352,
    kReportTotal = 353,
    kReportAverageTime = 354,
    kReportTitle = 358, ///< "ORVA Übungsbericht"
    kReportPage = 359, ///< "Seite"
    kReportPageTooSmall = 919,
    kReportTooManyPages = 920,
};
} // namespace Text

} // namespace orva
