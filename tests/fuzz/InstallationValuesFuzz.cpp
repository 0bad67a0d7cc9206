// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target of the installation values: any bytes as the file that stands in for the
// local-machine hive of the registry. The values are read from disk, as the program reads them, so
// each input is written to a scratch file first.
#include "records/InstallationValues.h"
#include "records/Registry.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace orva;

namespace {

// /dev/shm keeps the scratch file off the disk where there is one.
QTemporaryDir &scratchFolder()
{
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/orva-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/orva-fuzz-XXXXXX"));
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = scratchFolder().filePath(QStringLiteral("registry.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size))
            != static_cast<qint64>(size))
        std::abort();
    file.close();
    Registry::Locations locations;
    locations.localMachine = path;
    const Result<InstallationValues> values = InstallationValues::read(Registry(locations));
    if (!values.ok()) {
        if (values.error().isEmpty())
            std::abort(); // the user is told why
        return 0;
    }
    // A folder given relative to the file is made absolute.
    for (const QString &folder : { values.value().root, values.value().trueUpdateDir }) {
        if (!folder.isEmpty() && QDir::isRelativePath(folder))
            std::abort();
    }
    return 0;
}
