// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/StartupData.h"

#include "records/InstallationValues.h"
#include "support/Logger.h"

#include <QDir>

namespace orva {

StartupData StartupData::read(const QString &currentDirectory, const Registry::Locations &locations)
{
    StartupData data;
    // The program runs from the installation's bin folder; the installation is its parent.
    data.baseDirectory = QDir::cleanPath(currentDirectory);
    const qsizetype separator = data.baseDirectory.lastIndexOf(QLatin1Char('/'));
    if (separator > 0)
        data.baseDirectory.truncate(separator);

    const Registry registry(locations);
    const Result<InstallationValues> values = InstallationValues::read(registry);
    if (!values.ok()) {
        logMessage(1,
                   QStringLiteral("Con MWC 05: %1; using the defaults and %2\n")
                       .arg(values.error(), data.baseDirectory));
    } else {
        data.installationComplete = true;
        for (auto [name, value] : { std::pair { "AudioOutput", &data.audioOutputSetting },
                                    std::pair { "AudioInput", &data.audioInputSetting } }) {
            // Each operator may name the devices of the own headset in the user's values.
            const QString text = InstallationLayout::optionalValue(registry, name);
            if (!text.isEmpty())
                *value = text;
        }
        if (!values.value().root.isEmpty())
            data.baseDirectory = QDir::cleanPath(values.value().root);
        data.trueUpdateDir = values.value().trueUpdateDir;
        data.uiLanguage = languageFromCode(values.value().language);
        if (data.uiLanguage != DE_DE) {
            // The texts of the user-interface language come from the installation; German is
            // built in.
            Result<StringTable> table =
                StringTable::loadForLanguage(data.baseDirectory, data.uiLanguage);
            logMessage(7,
                       QStringLiteral("WinMain : satellitePath : %1/bin/%2/strings.txt\n")
                           .arg(data.baseDirectory, languageCode(data.uiLanguage)));
            logMessage(1, "WinMain : mark 10 : DLL loaded? %s\n",
                       table.error().isEmpty() ? "Yes" : "No");
            if (!table.error().isEmpty())
                logMessage(1, QStringLiteral("   %1\n").arg(table.error()));
            data.strings = std::move(table).value();
        }
    }
    data.layout = InstallationLayout::resolve(data.baseDirectory, registry);
    return data;
}

} // namespace orva
