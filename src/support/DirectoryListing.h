// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace orva {

/// Full paths ("<folder>/<name>") of the files in `folder` whose names match the wildcard
/// `pattern`, ignoring case. With `recursive` every sub-folder is listed first, the same way.
/// The order is the file system's; callers sort when they need to. A folder reached twice
/// through links is listed once.
QStringList listFiles(const QString &folder, const QString &pattern, bool recursive);

} // namespace orva
