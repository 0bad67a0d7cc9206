// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Status.h"

#include <QString>

namespace orva {

/// Deletes or opens exactly the run file the client list read, never a file found by a name
/// pattern: the path must still name a run file directly inside the data folder of the language.
/// Any thread.
class RunFileRemoval
{
public:
    /// Success when `path` is an existing "*.orv" file (not a link) whose folder is
    /// `languageFolder`; otherwise why not.
    [[nodiscard]] static Status checkInside(const QString &path, const QString &languageFolder);
    /// checkInside(), then deletes the file.
    [[nodiscard]] static Status remove(const QString &path, const QString &languageFolder);
};

} // namespace orva
