// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/RunFileCommands.h"

#include <QPointer>

#include <functional>
#include <memory>

class QWidget;

namespace orva {

class DialogLauncher;
class DialogRunner;
class ExternalPrograms;
struct StartupData;

/// The dialogs of the main window, their runner, the programs outside and the save-file dialog:
/// the desktop's own, each unless one is given (tests give fakes). UI thread only.
class DesktopDialogs final : private SavePathChooser
{
public:
    /// What may replace the desktop's parts; null and empty parts are the desktop's.
    struct Parts
    {
        DialogRunner *runner = nullptr;
        DialogLauncher *dialogs = nullptr;
        ExternalPrograms *programs = nullptr;
        std::function<QString(const QString &folder,
                              const QString &proposed,
                              const QString &title,
                              const QString &filters)>
            chooseSavePath;
    };

    /// The dialogs over `owner` for the installation of `startup`.
    DesktopDialogs(QWidget *owner, const StartupData &startup, Parts parts);
    ~DesktopDialogs() override;

    DialogLauncher &dialogs() { return *m_dialogs; }
    ExternalPrograms &programs() { return *m_programs; }
    SavePathChooser &savePaths() { return *this; }

private:
    QString choosePath(const QString &folder,
                       const QString &proposed,
                       const QString &title,
                       const QString &filters) override;

    QPointer<QWidget> m_owner;
    Parts m_parts;
    std::unique_ptr<DialogRunner> m_ownRunner;
    std::unique_ptr<ExternalPrograms> m_ownPrograms;
    std::unique_ptr<DialogLauncher> m_ownDialogs;
    DialogLauncher *m_dialogs = nullptr;
    ExternalPrograms *m_programs = nullptr;
};

} // namespace orva
