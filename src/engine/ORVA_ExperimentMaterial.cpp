// SPDX-License-Identifier: GPL-3.0-or-later
// The syllable material of the run model: the stocks read from the media folders and the lists
// built over them.
#include "engine/ORVA_Experiment.h"
#include "support/DirectoryListing.h"
#include "support/Logger.h"

#include <algorithm>

namespace orva {

namespace {

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

// Names match when they differ at most in the case of ASCII letters.
bool sameName(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i].unicode()) != asciiLower(b[i].unicode()))
            return false;
    }
    return true;
}

int findIn(const std::vector<ORVA_Syllable> &stock, const QString &name)
{
    for (std::size_t i = 0; i < stock.size(); ++i) {
        if (sameName(stock[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

} // namespace

bool ORVA_Experiment::readAudioData()
{
    logMessage(5, "ORVA_Experiment::readAudioData 000, lang = %s\n",
               utf8(m_languageCode).constData());
    const QString media = mediaFolder() + QLatin1Char('/');
    if (!readTrainSyllables(media + m_languageCode + QStringLiteral("/Silben81"))) {
        logMessage(5, "ORVA_Experiment::readAudioData 999 1\n");
        return false;
    }
    if (!readTestSyllables(media + m_languageCode + QStringLiteral("/Silben06"))) {
        logMessage(5, "ORVA_Experiment::readAudioData 999 2\n");
        return false;
    }
    if (!m_noise[0].loadFile(media + QStringLiteral("Noise/rausch02.wav"))) {
        logMessage(5, "ORVA_Experiment::readAudioData 999 3, No Noise 0\n");
        return false;
    }
    if (!m_noise[1].loadFile(media + QStringLiteral("Noise/voices04.wav"))) {
        logMessage(5, "ORVA_Experiment::readAudioData 999 4, No Noise 1\n");
        return false;
    }
    logMessage(5, "ORVA_Experiment::readAudioData 999 9\n");
    return true;
}

bool ORVA_Experiment::readTrainSyllables(const QString &folder)
{
    return readSyllables(folder, m_trainStock, "readTrainSyllables");
}

bool ORVA_Experiment::readTestSyllables(const QString &folder)
{
    return readSyllables(folder, m_testStock, "readTestSyllables");
}

bool ORVA_Experiment::readSyllables(const QString &folder,
                                    std::vector<ORVA_Syllable> &stock,
                                    const char *what)
{
    logMessage(5, "ORVA_Experiment::%s 000, dir = %s\n", what, utf8(folder).constData());
    stock.clear();
    QStringList paths = listFiles(folder, QStringLiteral("*.wav"), true);
    std::sort(paths.begin(), paths.end()); // by UTF-16 code units
    stock.resize(paths.size());
    if (&stock == &m_trainStock)
        logMessage(5, "ORVA_Experiment::%s 010\n", what);
    if (paths.isEmpty()) {
        logMessage(5, "ORVA_Experiment::%s 999 1, error no audio files\n", what);
        return false;
    }
    for (qsizetype i = 0; i < paths.size(); ++i) {
        ORVA_Syllable &syllable = stock[i];
        if (!syllable.recording.loadFile(paths[i])) {
            logMessage(5, "ORVA_Experiment::%s 999 2, error with %s\n", what,
                       utf8(paths[i]).constData());
            return false;
        }
        syllable.playCopy = syllable.recording;
        syllable.name = syllableNameFromPath(paths[i]);
    }
    logMessage(5, "ORVA_Experiment::%s 999 9\n", what);
    return true;
}

void ORVA_Experiment::buildStocksFromNameTables()
{
    const MaterialTables &tables = materialTables(m_expLanguage);
    m_trainStock.clear();
    m_testStock.clear();
    logMessage(5, "***************** TRAIN STOCK ***************************************\n");
    for (const QString &name : tables.trainingNames) {
        logMessage(5, "TrainStock[%3d] = %s\n", int(m_trainStock.size()), utf8(name).constData());
        m_trainStock.emplace_back(name);
    }
    logMessage(5, "***************** TEST STOCK ***************************************\n");
    for (const QString &name : tables.testNames) {
        logMessage(5, "TestStock[%3d] = %s\n", int(m_testStock.size()), utf8(name).constData());
        m_testStock.emplace_back(name);
    }
}

void ORVA_Experiment::createSyllableLists()
{
    m_trainSyllableList.clear();
    m_testSyllableList.clear();
    const MaterialTables &tables = materialTables(m_expLanguage);
    createTrainSyllableListFrom(tables.trainingGroups, m_expLanguage);
    createTestSyllableListFrom(tables.testGroups, m_expLanguage);
    readUserDefinedTrainSyllableLists();
    if (Logger::instance().level() < 5)
        return;
    for (const SyllableList &list : m_trainSyllableList.lists()) {
        QString line = QStringLiteral("\nList[%1] xxx\n").arg(list.id);
        for (const SyllableList::Entry &entry : list.entries)
            line +=
                QString::asprintf("[%3d]= ", entry.stockIndex) + entry.name + QStringLiteral("   ");
        logMessage(5, line);
    }
}

void ORVA_Experiment::createTrainSyllableListFrom(const QList<SyllableGroup> &groups, int language)
{
    logMessage(5, "ORVA_Experiment::createTrainSyllableListFrom 000, lang = %s\n",
               utf8(upperLanguageCode(language)).constData());
    m_trainSyllableList.clear();
    for (const SyllableGroup &group : groups) {
        SyllableList list;
        list.label = group.label;
        list.language = language;
        for (const QString &name : group.names)
            list.entries.append({ name, -1 });
        resolveAndAdd(std::move(list), m_trainStock, m_trainSyllableList);
    }
    logMessage(5,
               "ORVA_Experiment::createTrainSyllableListFrom 999, size of trainSyllableList=%d\n",
               m_trainSyllableList.size());
}

void ORVA_Experiment::createTestSyllableListFrom(const QList<SyllableGroup> &groups, int language)
{
    logMessage(5, "ORVA_Experiment::createTestSyllableListFrom 000, lang = %s\n",
               utf8(upperLanguageCode(language)).constData());
    m_testSyllableList.clear();
    for (const SyllableGroup &group : groups) {
        SyllableList list;
        list.label = group.label;
        list.language = language;
        for (const QString &name : group.names)
            list.entries.append({ name, -1 });
        resolveAndAdd(std::move(list), m_testStock, m_testSyllableList);
    }
    logMessage(5, "ORVA_Experiment::createTestSyllableListFrom 999, size of testSyllableList=%d\n",
               m_testSyllableList.size());
}

bool ORVA_Experiment::resolveAndAdd(SyllableList list,
                                    const std::vector<ORVA_Syllable> &stock,
                                    SyllableListSet &set)
{
    for (SyllableList::Entry &entry : list.entries) {
        entry.stockIndex = findIn(stock, entry.name);
        if (entry.stockIndex < 0)
            return false;
    }
    set.addList(std::move(list));
    return true;
}

bool ORVA_Experiment::addOwnTrainList(SyllableList list)
{
    list.own = true;
    return resolveAndAdd(std::move(list), m_trainStock, m_trainSyllableList);
}

bool ORVA_Experiment::deactivateOwnList(int id)
{
    return m_trainSyllableList.deactivateOwn(id);
}

int ORVA_Experiment::findInTrainStock(const QString &name) const
{
    return findIn(m_trainStock, name);
}

int ORVA_Experiment::findInTestStock(const QString &name) const
{
    return findIn(m_testStock, name);
}

int ORVA_Experiment::findInCurrentStock(const QString &name) const
{
    return findIn(currentStock(), name);
}

} // namespace orva
