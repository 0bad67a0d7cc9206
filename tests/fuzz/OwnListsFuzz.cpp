// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target of the reader of the own syllable lists (ORVA.ors). Besides surviving every
// input it checks that what it reads keeps its limits, and that lists it read, written out again,
// read back with every list and syllable.
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

// What the file keeps of a list: all but the label, which the writer may make one word, and the
// code of one of the six languages, which is written in its upper-case form.
bool sameList(const SyllableListFile::OwnList &a, const SyllableListFile::OwnList &b)
{
    return a.language == b.language && a.syllables == b.syllables && a.id == b.id
        && a.active == b.active && (a.language >= 0 || a.languageCode == b.languageCode);
}

// A write loses no list and no syllable, and a second write of what the first one read changes
// nothing at all.
bool sameLists(const QList<SyllableListFile::OwnList> &a,
               const QList<SyllableListFile::OwnList> &b,
               bool labelsToo)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!sameList(a[i], b[i]) || (labelsToo && a[i] != b[i]))
            return false;
    }
    return true;
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
    const auto written = [](const QList<SyllableListFile::OwnList> &source) {
        return readBytes("\xEF\xBB\xBF" + SyllableListFile::toText(source).toUtf8());
    };
    const Result<QList<SyllableListFile::OwnList>> again = written(lists.value());
    if (!again.ok() || !sameLists(again.value(), lists.value(), false))
        std::abort();
    const Result<QList<SyllableListFile::OwnList>> third = written(again.value());
    if (!third.ok() || !sameLists(third.value(), again.value(), true))
        std::abort();
    return 0;
}
