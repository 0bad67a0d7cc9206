// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ProgramData.h"

#include "engine/ScratchRunReader.h"
#include "records/ClientList.h"
#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/TextIds.h"

#include <QDir>
#include <QFileInfo>

namespace orva {

ProgramData::ProgramData(const QString &currentDirectory,
                         const Registry::Locations &registry,
                         MessageBoxes &boxes)
    : m_startup(StartupData::read(currentDirectory, registry))
{
    const InstallationLayout &layout = m_startup.layout;
    m_experiment.setFileLocations({ layout.mediaFolder, layout.dataFolder, layout.ownListsFile });
    m_experiment.dataPathGuard().setReporter(
        [this, &boxes](const QString &path, const QString &target) {
            const QString to = target.isEmpty() ? strings().text(Text::kLinkLeadsNowhere) : target;
            boxes.show(strings().text(Text::kWarningTitle),
                       strings().text(Text::kLinkOutOfDataFolder).arg(path, to),
                       MessageIcon::Warning, MessageButtons::Ok);
        });
    m_experiment.setBaseDirectory(m_startup.baseDirectory);
    logMessage(1,
               QStringLiteral("Con MWC 10: Initial Directory %1\n").arg(m_startup.baseDirectory));

    m_settings.setDefaults(m_startup.baseDirectory);
    m_settings.dataDirectory = layout.dataFolder;
    m_settingsMissing = !m_settings.read(layout.settingsFile);
    m_experiment.dataPathGuard().setFolders({ layout.dataFolder, m_settings.dataDirectory });
    m_experiment.client() = m_settings.client;
    QString userLog;
    if (m_experiment.createLogFileName(userLog, true) == 0)
        (void)m_experiment.userLog().loadOrSetAside(userLog); // a missing history is an empty one
    (void)setMaterialLanguage(m_settings.materialLanguage(m_startup.uiLanguage), false);
}

RunFileRules ProgramData::fileRules() const
{
    RunFileRules rules;
    rules.saveMode = { m_settings.preTestSaveMode, m_settings.mainTestSaveMode,
                       m_settings.trainSaveMode };
    rules.printMode = { m_settings.preTestPrintMode, m_settings.mainTestPrintMode,
                        m_settings.trainPrintMode };
    return rules;
}

QString ProgramData::unsavedRunPath() const
{
    return QFileInfo(m_startup.layout.settingsFile)
        .dir()
        .filePath(QStringLiteral("unsaved-run.orv"));
}

Status ProgramData::setMaterialLanguage(int language, bool writeOwnLists)
{
    if (!isLanguage(language))
        language = m_startup.uiLanguage;
    m_settings.expLanguage = language;
    // Own lists live in memory until written; the lists of the outgoing language go first.
    const Status written =
        writeOwnLists ? m_experiment.writeUserDefinedTrainSyllableTrain() : Status::success();
    m_experiment.setLanguage(language, true, false);
    return written;
}

void ProgramData::readClientList(ClientList &clients)
{
    logMessage(1, "BEGIN: getProbandList\n");
    // The data directory may have changed in the options dialog since the last time.
    DataPathGuard &guard = m_experiment.dataPathGuard();
    guard.setFolders({ m_startup.layout.dataFolder, m_settings.dataDirectory });
    const ScratchRunReader reader(m_startup.baseDirectory, m_experiment.expLanguage());
    clients.getProbandList(m_settings.dataDirectory, m_experiment.languageCode(),
                           [&guard, reader](const QString &path, ORVA_Proband &record) {
                               return guard.allows(path) && reader(path, record);
                           });
}

Status ProgramData::writeSettings()
{
    m_settings.client = m_experiment.client();
    return m_settings.write(m_startup.layout.settingsFile);
}

} // namespace orva
