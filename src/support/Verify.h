// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

/// `ORVA_VERIFY(cond) { fallback; }`: asserts in debug builds, takes the fallback in release.
#define ORVA_VERIFY(cond) if (Q_ASSERT(cond), !(cond))
