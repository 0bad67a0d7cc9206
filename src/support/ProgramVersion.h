// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva::ProgramVersion {

constexpr int kMajor = 3;
constexpr int kMinor = 1;
constexpr int kBuild = 31;

/// "3.1.31": the splash screen, the About box and the settings header.
inline QString text()
{
    return QString::asprintf("%d.%d.%02d", kMajor, kMinor, kBuild);
}

} // namespace orva::ProgramVersion
