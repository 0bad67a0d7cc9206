// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/ExternalPrograms.h"

#include <map>
#include <memory>

class QProcess;

namespace orva {

/// The external programs as processes of the desktop, from the command lines it is given, and
/// pages through QDesktopServices. The programs still running are ended with the launcher.
/// UI thread only.
class ProgramLauncher final : public ExternalPrograms
{
public:
    explicit ProgramLauncher(ProgramCommands commands);
    ~ProgramLauncher() override;

    bool start(ExternalProgram program) override;
    void terminate(ExternalProgram program) override;
    bool isRunning(ExternalProgram program) const override;
    bool openUrl(const QUrl &url) override;

    /// How long a program is given to end after it was asked to, before it is killed.
    static constexpr int kTerminateWaitMs = 2000;

private:
    ProgramCommands m_commands;
    std::map<ExternalProgram, std::unique_ptr<QProcess>> m_processes;
};

} // namespace orva
