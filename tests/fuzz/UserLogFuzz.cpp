// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target of the user log reader. Besides surviving every input it checks that a history
// it accepts, written out again, reads back with the same entries.
#include "records/TextFile.h"
#include "records/UserLog.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace orva;

namespace {

bool sameEntries(const QList<UserLogEntry> &a, const QList<UserLogEntry> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].type != b[i].type || a[i].start != b[i].start || a[i].duration != b[i].duration
            || a[i].presented != b[i].presented || a[i].distinct != b[i].distinct
            || a[i].correct != b[i].correct || a[i].average != b[i].average)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    TextFile file;
    file.openBytes(bytes);
    UserLog log([] { return 0; });
    if (!log.read(file)) {
        if (!log.entries().isEmpty() || !log.words().empty())
            std::abort(); // a rejected file leaves the history empty
        return 0;
    }
    TextFile written;
    written.openBytes("\xEF\xBB\xBF" + log.toText().toUtf8());
    UserLog again([] { return 0; });
    if (!again.read(written) || !sameEntries(again.entries(), log.entries()))
        std::abort();
    return 0;
}
