// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/DialogLauncher.h"
#include "dialogs/ModelessSlot.h"

#include <QStringList>

#include <functional>

namespace orva::test {

/// Stands in for the dialogs of the main window: records which dialog was asked for, in order,
/// and answers with the values set here. Opens no window except a modeless dialog put in its
/// slot by the code under test.
class RecordingDialogLauncher final : public DialogLauncher
{
public:
    LanguageChoice chooseLanguage(int currentLanguage) override
    {
        calls << QStringLiteral("language %1").arg(currentLanguage);
        LanguageChoice choice = language;
        if (!choice.accepted)
            choice.language = currentLanguage;
        return choice;
    }
    void showAbout() override { calls << QStringLiteral("about"); }
    bool showFirstSteps() override
    {
        calls << QStringLiteral("first steps");
        return doIntro;
    }
    void showNotice(int textId) override
    {
        calls << QStringLiteral("notice %1").arg(textId);
        if (noticeShown)
            noticeShown(textId);
    }
    OptionsChoice editOptions(const OptionValues &values) override
    {
        calls << QStringLiteral("options");
        OptionsChoice choice;
        choice.accepted = optionsAccepted;
        choice.values = optionsAccepted ? options : values;
        return choice;
    }
    bool editTrainingSettings(ORVA_Experiment &experiment) override
    {
        calls << QStringLiteral("training settings");
        return trainingSettings ? trainingSettings(experiment) : false;
    }
    int openClientDatabase(ClientDatabase &database,
                           const ClientDatabaseDialog::RunDeleter &deleteRun) override
    {
        calls << QStringLiteral("client database");
        return clientDatabase ? clientDatabase(database, deleteRun) : 2;
    }
    bool openHelp() override
    {
        calls << QStringLiteral("help");
        return helpOpens;
    }
    void runLatencyTest(LatencySelfTest &test) override
    {
        calls << QStringLiteral("latency-test");
        if (latencyTest)
            latencyTest(test);
    }
    ModelessSlot &modeless() override { return slot; }

    /// "language 0", "about", "first steps", "notice 145", "options", "help", "training settings",
    /// "client database"
    QStringList calls;
    LanguageChoice language; ///< the answer; not accepted gives back the current language
    bool doIntro = true;
    bool optionsAccepted = false;
    OptionValues options; ///< returned when optionsAccepted
    bool helpOpens = true;
    ModelessSlot slot;
    /// Stands in for the training settings: edits the model and says whether OK closed them.
    std::function<bool(ORVA_Experiment &)> trainingSettings;
    /// Stands in for the client database: clicks in it and returns its result.
    std::function<int(ClientDatabase &, const ClientDatabaseDialog::RunDeleter &)> clientDatabase;
    /// Told of each notice while it is "open", so a test can see what came before it.
    std::function<void(int textId)> noticeShown;
    std::function<void(LatencySelfTest &)> latencyTest;
};

} // namespace orva::test
