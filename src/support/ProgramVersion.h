// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva::ProgramVersion {

// The one version of the program, set by the project() line of the top CMakeLists.txt.
constexpr int kMajor = ORVA_VERSION_MAJOR;
constexpr int kMinor = ORVA_VERSION_MINOR;
constexpr int kBuild = ORVA_VERSION_BUILD;

/// "3.1.31": the splash screen, the About box and the settings header.
inline QString text()
{
    return QString::asprintf("%d.%d.%02d", kMajor, kMinor, kBuild);
}

} // namespace orva::ProgramVersion
