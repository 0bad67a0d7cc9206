// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Printf.h"

#include <cstdio>

namespace orva {

QByteArray vformat(const char *format, va_list args)
{
    va_list measuring;
    va_copy(measuring, args);
    const int size = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (size < 0)
        return QByteArray();
    QByteArray bytes(size + 1, Qt::Uninitialized);
    va_list writing;
    va_copy(writing, args);
    std::vsnprintf(bytes.data(), bytes.size(), format, writing);
    va_end(writing);
    bytes.chop(1);
    return bytes;
}

} // namespace orva
