// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cstdarg>

namespace orva {

/// printf-style formatting into a buffer of exactly the needed size; empty when the format is
/// invalid. `args` is left unused for the caller to end.
QByteArray vformat(const char *format, va_list args);

} // namespace orva
