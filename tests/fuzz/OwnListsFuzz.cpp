// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target of the reader of the own syllable lists (ORVA.ors). Besides surviving every
// input it checks that what it reads keeps its limits, and that lists it read, written out again,
// read back the same.
#include "records/SyllableListFile.h"
#include "records/TextFile.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace orva;

namespace {

Result<QList<SyllableListFile::OwnList>> readBytes(const QByteArray &bytes)
{
    TextFile file;
    file.openBytes(bytes);
    return SyllableListFile::read(file);
}

// What the file keeps of a list: a code that names one of the six languages is written in its
// upper-case form.
bool sameList(const SyllableListFile::OwnList &a, const SyllableListFile::OwnList &b)
{
    return a.label == b.label && a.language == b.language && a.syllables == b.syllables
        && a.id == b.id && a.active == b.active
        && (a.language >= 0 || a.languageCode == b.languageCode);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const Result<QList<SyllableListFile::OwnList>> lists = readBytes(bytes);
    if (!lists.ok()) {
        if (lists.error().isEmpty())
            std::abort(); // the user is told why
        return 0;
    }
    for (const SyllableListFile::OwnList &list : lists.value()) {
        if (list.syllables.isEmpty() || list.syllables.size() > SyllableListFile::kMaxSyllables
            || list.language < -1 || list.language > 5)
            std::abort();
    }
    const Result<QList<SyllableListFile::OwnList>> again =
        readBytes("\xEF\xBB\xBF" + SyllableListFile::toText(lists.value()).toUtf8());
    if (!again.ok() || again.value().size() != lists.value().size())
        std::abort();
    for (qsizetype i = 0; i < again.value().size(); ++i) {
        if (!sameList(again.value()[i], lists.value()[i]))
            std::abort();
    }
    return 0;
}
