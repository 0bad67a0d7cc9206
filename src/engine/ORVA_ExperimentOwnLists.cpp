// SPDX-License-Identifier: GPL-3.0-or-later
// The operator's own training lists of the run model and their file.
#include "engine/ORVA_Experiment.h"
#include "records/SyllableListFile.h"
#include "support/Logger.h"

namespace orva {

bool ORVA_Experiment::readUserDefinedTrainSyllableLists()
{
    // Without an installation folder the path would point into the root of the file system.
    if (m_baseDirectory.isEmpty())
        return false;
    logMessage(1, "BEGIN: readUserDefinedTrainSyllableLists\n");
    const QString path = ownListsFile();
    logMessage(1, "readUserDefinedTrainSyllableLists: filenName: %s\n", path.toUtf8().constData());
    const Result<QList<SyllableListFile::OwnList>> lists = SyllableListFile::read(path);
    if (!lists.ok()) {
        logMessage(2, "   readUserDefinedTrainSyllableLists: %s\n",
                   lists.error().toUtf8().constData());
        return false;
    }
    m_unresolvedOwnLists.clear();
    for (const SyllableListFile::OwnList &own : lists.value()) {
        if (own.language != m_expLanguage)
            continue;
        SyllableList list;
        list.label = own.label;
        list.language = own.language;
        list.id = own.id;
        list.active = own.active;
        for (const QString &syllable : own.syllables)
            list.entries.append({ syllable, -1 });
        if (!addOwnTrainList(std::move(list))) {
            logMessage(1,
                       QStringLiteral("   own list %1 is not offered: a syllable of it has no "
                                      "recording; it stays in the file\n")
                           .arg(own.label));
            m_unresolvedOwnLists << own;
            m_trainSyllableList.reserveOwnId(own.id);
        }
    }
    return true;
}

Status ORVA_Experiment::writeUserDefinedTrainSyllableTrain() const
{
    if (m_baseDirectory.isEmpty())
        return Status::failure(QStringLiteral("no installation folder for the own syllable lists"));
    logMessage(1, "BEGIN: writeUserDefinedTrainSyllableTrain\n");
    const QString path = ownListsFile();
    QList<SyllableListFile::OwnList> lists;
    const QList<SyllableList> &set = m_trainSyllableList.lists();
    for (int i = 0; i < set.size(); ++i) {
        const SyllableList &list = set[i];
        logMessage(4,
                   QString::asprintf("writeSyllableList[%3d] = ", i) + list.label
                       + QLatin1String(list.own ? ", Wr\n" : ", No\n"));
        if (!list.own)
            continue;
        SyllableListFile::OwnList own;
        own.label = list.label;
        own.language = list.language;
        own.languageCode = SyllableListFile::upperCode(list.language);
        own.id = list.id;
        own.active = list.active;
        for (const SyllableList::Entry &entry : list.entries)
            own.syllables << entry.name;
        lists << own;
    }
    lists << m_unresolvedOwnLists;
    // Only the current language's lists are in memory; those of the other languages are carried
    // over from the file as it is.
    const Result<QList<SyllableListFile::OwnList>> onDisk = SyllableListFile::read(path);
    if (onDisk.ok()) {
        for (const SyllableListFile::OwnList &own : onDisk.value()) {
            if (own.language != m_expLanguage)
                lists << own;
        }
    }
    return SyllableListFile::write(path, lists);
}

} // namespace orva
