// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DesktopDialogs.h"

#include "dialogs/ProgramLauncher.h"
#include "dialogs/QtDialogLauncher.h"
#include "dialogs/QtDialogRunner.h"
#include "records/InstallationValues.h"
#include "records/StartupData.h"

#include <QFileDialog>

namespace orva {

DesktopDialogs::DesktopDialogs(QWidget *owner, const StartupData &startup, Parts parts)
    : m_owner(owner)
    , m_parts(std::move(parts))
    , m_dialogs(m_parts.dialogs)
    , m_programs(m_parts.programs)
{
    DialogRunner *runner = m_parts.runner;
    if (!runner) {
        m_ownRunner = std::make_unique<QtDialogRunner>(owner);
        runner = m_ownRunner.get();
    }
    if (!m_programs) {
        InstallationValues values;
        values.root = startup.baseDirectory;
        values.trueUpdateDir = startup.trueUpdateDir;
        values.language = languageCode(startup.uiLanguage);
        m_ownPrograms =
            std::make_unique<ProgramLauncher>(ProgramCommands::fromInstallation(values));
        m_programs = m_ownPrograms.get();
    }
    if (!m_dialogs) {
        m_ownDialogs =
            std::make_unique<QtDialogLauncher>(owner, *runner, *m_programs, startup.strings,
                                               startup.baseDirectory, startup.uiLanguage);
        m_dialogs = m_ownDialogs.get();
    }
}

DesktopDialogs::~DesktopDialogs() = default;

QString DesktopDialogs::choosePath(const QString &folder,
                                   const QString &proposed,
                                   const QString &title,
                                   const QString &filters)
{
    if (m_parts.chooseSavePath)
        return m_parts.chooseSavePath(folder, proposed, title, filters);
    return QFileDialog::getSaveFileName(m_owner, title, folder + QLatin1Char('/') + proposed,
                                        filters, nullptr, QFileDialog::DontConfirmOverwrite);
}

} // namespace orva
