// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/DialogLauncher.h"
#include "dialogs/ModelessSlot.h"

#include <QPointer>

namespace orva {

class DialogRunner;
class ExternalPrograms;
class StringTable;

/// The dialogs as windows over `owner`, run through `runner`, with the help opened through
/// `programs`. Runner, programs and strings must outlive the launcher. UI thread only.
class QtDialogLauncher final : public DialogLauncher
{
public:
    QtDialogLauncher(QWidget *owner,
                     DialogRunner &runner,
                     ExternalPrograms &programs,
                     const StringTable &strings,
                     QString baseDirectory,
                     int userInterfaceLanguage);

    /// The texts of the dialogs opened from now on.
    void setStrings(const StringTable &strings, int userInterfaceLanguage);
    /// "<base>/bin/<code>/help/index.html" of the user-interface language.
    static QString helpPage(const QString &baseDirectory, int userInterfaceLanguage);

    LanguageChoice chooseLanguage(int currentLanguage) override;
    void showAbout() override;
    bool showFirstSteps() override;
    void showNotice(int textId) override;
    OptionsChoice editOptions(const OptionValues &values) override;
    bool editTrainingSettings(ORVA_Experiment &experiment) override;
    int openClientDatabase(ClientDatabase &database,
                           const ClientDatabaseDialog::RunDeleter &deleteRun) override;
    bool openHelp() override;
    void runLatencyTest(LatencySelfTest &test) override;
    ModelessSlot &modeless() override { return m_modeless; }
    QWidget *owner() const override { return m_owner; }

private:
    QPointer<QWidget> m_owner;
    DialogRunner &m_runner;
    ExternalPrograms &m_programs;
    const StringTable *m_strings;
    QString m_baseDirectory;
    int m_userInterfaceLanguage = 0;
    ModelessSlot m_modeless;
};

} // namespace orva
