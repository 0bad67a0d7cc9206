// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target of the run file reader. Besides surviving every input it checks that a file it
// accepts, written out again, reads back with the same measurements.
#include "records/RunFile.h"
#include "records/TextFile.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace orva;

namespace {

int readBytes(const QByteArray &bytes, int expLanguage, RunFileContent &content)
{
    TextFile file;
    file.openBytes(bytes);
    return RunFile::read(file, expLanguage, content);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const int language : { 0, 2 }) {
        RunFileContent content;
        content.mode = 2;
        const int code = readBytes(bytes, language, content);
        if (code != 0 && code != 1 && code != -1)
            std::abort();
        if (code != 0)
            continue;
        // The run model names every measurement: one the file left unnamed is its stock's first
        // syllable.
        for (RunFileMeasurement &measurement : content.measurements) {
            if (measurement.name.isEmpty())
                measurement.name = QStringLiteral("ba");
        }
        RunFileContent again;
        again.mode = content.mode;
        // Written as the program writes it: UTF-8 with its mark.
        if (readBytes("\xEF\xBB\xBF" + RunFile::toText(content).toUtf8(), content.language, again)
            != 0)
            std::abort();
        if (again.measurements != content.measurements || again.mode != content.mode)
            std::abort();
    }
    return 0;
}
