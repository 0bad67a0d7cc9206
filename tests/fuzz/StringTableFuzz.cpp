// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target of the string table parser (the user-interface texts of one language). Besides
// surviving every input it checks that a table it accepts answers for every key it lists.
#include "support/StringTable.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const Result<StringTable> table = StringTable::parse(bytes, QStringLiteral("strings.txt"));
    if (!table.ok()) {
        if (table.error().isEmpty())
            std::abort(); // the user is told why
        return 0;
    }
    const StringTable &strings = table.value();
    if (strings.ids().size() != strings.size())
        std::abort();
    for (const int id : strings.ids()) {
        if (!strings.contains(id))
            std::abort();
        (void)strings.text(id);
    }
    for (const QString &key : strings.keys()) {
        if (!strings.contains(key))
            std::abort();
        (void)strings.text(key);
    }
    return 0;
}
