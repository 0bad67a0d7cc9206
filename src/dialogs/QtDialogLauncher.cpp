// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/QtDialogLauncher.h"

#include "dialogs/AboutDialog.h"
#include "dialogs/DialogRunner.h"
#include "dialogs/ExternalPrograms.h"
#include "dialogs/FirstStepsDialog.h"
#include "dialogs/LatencyTestDialog.h"
#include "dialogs/NoticeDialog.h"
#include "dialogs/TrainingSettingsDialog.h"
#include "support/Languages.h"
#include "support/Logger.h"
#include "support/StringTable.h"

#include <QFile>

namespace orva {

QtDialogLauncher::QtDialogLauncher(QWidget *owner,
                                   DialogRunner &runner,
                                   ExternalPrograms &programs,
                                   const StringTable &strings,
                                   QString baseDirectory,
                                   int userInterfaceLanguage)
    : m_owner(owner)
    , m_runner(runner)
    , m_programs(programs)
    , m_strings(&strings)
    , m_baseDirectory(std::move(baseDirectory))
    , m_userInterfaceLanguage(userInterfaceLanguage)
{ }

void QtDialogLauncher::setStrings(const StringTable &strings, int userInterfaceLanguage)
{
    m_strings = &strings;
    m_userInterfaceLanguage = userInterfaceLanguage;
}

QString QtDialogLauncher::helpPage(const QString &baseDirectory, int userInterfaceLanguage)
{
    return QStringLiteral("%1/bin/%2/help/index.html")
        .arg(baseDirectory, languageCode(userInterfaceLanguage));
}

LanguageChoice QtDialogLauncher::chooseLanguage(int currentLanguage)
{
    LanguageDialog dialog(*m_strings, currentLanguage, m_owner);
    return dialog.run(m_runner);
}

void QtDialogLauncher::runLatencyTest(LatencySelfTest &test)
{
    LatencyTestDialog dialog(test, *m_strings, m_runner, m_owner.data());
    dialog.run(m_runner);
}

void QtDialogLauncher::showAbout()
{
    AboutDialog dialog(*m_strings, m_owner);
    dialog.run(m_runner);
}

bool QtDialogLauncher::showFirstSteps()
{
    FirstStepsDialog dialog(*m_strings, m_owner);
    return dialog.run(m_runner);
}

void QtDialogLauncher::showNotice(int textId)
{
    NoticeDialog dialog(*m_strings, textId, m_owner);
    dialog.run(m_runner);
}

OptionsChoice QtDialogLauncher::editOptions(const OptionValues &values)
{
    OptionsDialog dialog(*m_strings, values, m_owner);
    return dialog.run(m_runner);
}

bool QtDialogLauncher::editTrainingSettings(ORVA_Experiment &experiment)
{
    TrainingSettingsDialog dialog(*m_strings, experiment, m_runner, m_owner);
    return dialog.run();
}

int QtDialogLauncher::openClientDatabase(ClientDatabase &database,
                                         const ClientDatabaseDialog::RunDeleter &deleteRun)
{
    ClientDatabaseDialog dialog(*m_strings, database, m_runner, deleteRun, m_owner);
    return dialog.run();
}

bool QtDialogLauncher::openHelp()
{
    const QString page = helpPage(m_baseDirectory, m_userInterfaceLanguage);
    if (!QFile::exists(page)) {
        logMessage(1, QStringLiteral("ERROR: no help page %1\n").arg(page));
        return false;
    }
    return m_programs.openUrl(QUrl::fromLocalFile(page));
}

} // namespace orva
