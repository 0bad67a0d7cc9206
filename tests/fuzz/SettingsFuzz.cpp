// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target of the settings reader. Besides surviving every input it checks that the values
// it reads stay in their ranges and that settings it read, written out again, read back the same.
#include "records/Settings.h"
#include "records/TextFile.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace orva;

namespace {

Settings readBytes(const QByteArray &bytes)
{
    Settings settings;
    settings.setDefaults(QStringLiteral("/opt/orva"));
    TextFile file;
    file.openBytes(bytes);
    settings.read(file);
    return settings;
}

bool sameValues(const Settings &a, const Settings &b)
{
    return a.dataDirectory == b.dataDirectory && a.expLanguage == b.expLanguage
        && a.threshold == b.threshold && a.trainSaveMode == b.trainSaveMode
        && a.preTestSaveMode == b.preTestSaveMode && a.mainTestSaveMode == b.mainTestSaveMode
        && a.trainPrintMode == b.trainPrintMode && a.preTestPrintMode == b.preTestPrintMode
        && a.mainTestPrintMode == b.mainTestPrintMode && a.doIntro == b.doIntro
        && a.doAudioIntro == b.doAudioIntro;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const Settings settings = readBytes(bytes);
    if (settings.threshold < Settings::kMinThreshold || settings.threshold > Settings::kMaxThreshold
        || settings.expLanguage < 0 || settings.expLanguage > Settings::kNoLanguage
        || settings.dataDirectory.size() > Settings::kMaxDataDirectoryChars)
        std::abort();
    // Written as the program writes it: UTF-8 with its mark.
    const Settings again = readBytes("\xEF\xBB\xBF" + settings.toText().toUtf8());
    if (!sameValues(again, settings))
        std::abort();
    return 0;
}
