// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/ExternalPrograms.h"

#include <QList>
#include <QUrl>

#include <set>

namespace orva::test {

/// Stands in for the programs outside: records what was started and opened, starts nothing.
class RecordingPrograms final : public ExternalPrograms
{
public:
    bool start(ExternalProgram program) override
    {
        started.append(program);
        if (startsPrograms)
            running.insert(program);
        return startsPrograms;
    }
    void terminate(ExternalProgram program) override { running.erase(program); }
    bool isRunning(ExternalProgram program) const override { return running.count(program) > 0; }
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return opensPages;
    }

    QList<ExternalProgram> started;
    QList<QUrl> opened;
    std::set<ExternalProgram> running;
    bool startsPrograms = true;
    bool opensPages = true;
};

} // namespace orva::test
