// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ORVA_Experiment.h"

#include "audio/SoftwareMixer.h"
#include "records/ClientFiles.h"
#include "records/SyllableListFile.h"
#include "support/Logger.h"

#include <QDateTime>

#include <algorithm>

namespace orva {

ORVA_Experiment::ORVA_Experiment()
{
    // The client has no name yet, so resetting saves no user log.
    (void)reset(true);
    m_random.seed(static_cast<quint32>(QDateTime::currentSecsSinceEpoch() % 32767));
}

int ORVA_Experiment::answerWindow() const
{
    return isTraining() ? m_client.answerWindow() : kTestAnswerWindowMs;
}

void ORVA_Experiment::setMeasurements(QList<Measurement> measurements)
{
    m_measurements = std::move(measurements);
    m_currentIndex = 0;
}

Measurement *ORVA_Experiment::currentMeasurement()
{
    if (m_currentIndex < 0 || m_currentIndex >= m_measurements.size())
        return nullptr;
    return &m_measurements[m_currentIndex];
}

const Measurement *ORVA_Experiment::currentMeasurement() const
{
    return const_cast<ORVA_Experiment *>(this)->currentMeasurement();
}

std::vector<ORVA_Syllable> &ORVA_Experiment::currentStock()
{
    return isTraining() ? m_trainStock : m_testStock;
}

const std::vector<ORVA_Syllable> &ORVA_Experiment::currentStock() const
{
    return isTraining() ? m_trainStock : m_testStock;
}

int ORVA_Experiment::stockSize() const
{
    return static_cast<int>(currentStock().size());
}

ORVA_Syllable *ORVA_Experiment::syllable(int stockIndex)
{
    std::vector<ORVA_Syllable> &stock = currentStock();
    if (stockIndex < 0 || stockIndex >= static_cast<int>(stock.size()))
        return nullptr;
    return &stock[stockIndex];
}

const ORVA_Syllable *ORVA_Experiment::syllable(int stockIndex) const
{
    return const_cast<ORVA_Experiment *>(this)->syllable(stockIndex);
}

ORVA_Syllable *ORVA_Experiment::currentSyllable()
{
    const Measurement *current = currentMeasurement();
    return current ? syllable(current->stockIndex) : nullptr;
}

const ORVA_Syllable *ORVA_Experiment::syllableOfMeasurement(int i) const
{
    if (i < 0 || i >= m_measurements.size())
        return nullptr;
    return syllable(m_measurements[i].stockIndex);
}

const SyllableList *ORVA_Experiment::runList(int mode) const
{
    if (mode == Training)
        return m_trainSyllableList.byId(m_client.chosenList(m_expLanguage));
    return m_testSyllableList.size() > 0 ? &m_testSyllableList.at(0) : nullptr;
}

bool ORVA_Experiment::canStartRun(int mode) const
{
    const std::vector<ORVA_Syllable> &stock = mode == Training ? m_trainStock : m_testStock;
    const SyllableList *list = runList(mode);
    if (stock.empty() || !list || list->entries.isEmpty())
        return false;
    return mode != Training || m_client.repetitions() > 0;
}

namespace {

// Adds the syllable's name once when the player cannot play its recording. A stock built from
// the name tables alone has no recordings to check.
void noteIfUnplayable(const ORVA_Syllable &syllable, QStringList &names)
{
    if (syllable.recording.sampleCount() != 0
        && !SoftwareMixer::canPlay(syllable.recording.format()) && !names.contains(syllable.name))
        names << syllable.name;
}

} // namespace

QStringList ORVA_Experiment::unplayableSyllables(int mode) const
{
    const std::vector<ORVA_Syllable> &stock = mode == Training ? m_trainStock : m_testStock;
    QStringList names;
    if (const SyllableList *list = runList(mode)) {
        for (const SyllableList::Entry &entry : list->entries) {
            if (entry.stockIndex < 0 || entry.stockIndex >= qsizetype(stock.size()))
                continue;
            noteIfUnplayable(stock[size_t(entry.stockIndex)], names);
        }
    }
    return names;
}

QStringList ORVA_Experiment::unplayableRecordings() const
{
    QStringList names;
    for (const std::vector<ORVA_Syllable> *stock : { &m_testStock, &m_trainStock }) {
        for (const ORVA_Syllable &syllable : *stock)
            noteIfUnplayable(syllable, names);
    }
    return names;
}

void ORVA_Experiment::prepareRun(int mode)
{
    (void)reset(false); // keeps the client: saves nothing
    m_mode = mode;
    qint64 length = -1;
    switch (mode) {
    case PreTest:
        length = kPreTestLength;
        break;
    case MainTest:
        length = kMainTestLength;
        break;
    case Training:
        // Repetitions come from a file and are not range-checked there.
        length = qint64(m_trainSyllableList.sizeOf(m_client.chosenList(m_expLanguage)))
            * qBound(0, m_client.repetitions(), 1000);
        break;
    default:
        return;
    }
    m_measurements = QList<Measurement>(length, Measurement());
    m_currentIndex = 0;
}

ORVA_Syllable *ORVA_Experiment::firstSyllable()
{
    m_currentIndex = 0;
    return m_measurements.isEmpty() ? nullptr : currentSyllable();
}

ORVA_Syllable *ORVA_Experiment::nextSyllable()
{
    ++m_currentIndex;
    return m_measurements.isEmpty() ? nullptr : currentSyllable();
}

void ORVA_Experiment::rejectSyllable()
{
    if (Measurement *current = currentMeasurement()) {
        current->reactionTime = 0;
        current->result = Unjudged;
    }
    --m_currentIndex;
}

void ORVA_Experiment::setRight()
{
    if (Measurement *current = currentMeasurement())
        current->result = Right;
}

void ORVA_Experiment::setWrong()
{
    if (Measurement *current = currentMeasurement())
        current->result = Wrong;
}

void ORVA_Experiment::setNoAnswer()
{
    if (Measurement *current = currentMeasurement())
        current->result = NoAnswer;
}

void ORVA_Experiment::setReactionTime(int ms)
{
    if (Measurement *current = currentMeasurement())
        current->reactionTime = ms;
}

void ORVA_Experiment::calcStatistics()
{
    if (m_statistics.isEmpty())
        m_statistics.append(ORVA_Statistic());
    if (m_statistics[0].computed)
        return;
    for (const Measurement &measurement : std::as_const(m_measurements)) {
        if (measurement.result == Unjudged || measurement.reactionTime == 0)
            continue;
        auto element = std::find_if(m_statistics.begin() + 1, m_statistics.end(),
                                    [&](const ORVA_Statistic &statistic) {
                                        return statistic.stockIndex == measurement.stockIndex;
                                    });
        if (element == m_statistics.end()) {
            ORVA_Statistic statistic;
            statistic.stockIndex = measurement.stockIndex;
            if (const ORVA_Syllable *syllable = this->syllable(measurement.stockIndex))
                statistic.name = syllable->name;
            m_statistics.append(statistic);
            element = m_statistics.end() - 1;
        }
        element->add(measurement.reactionTime, measurement.result);
        m_statistics[0].add(measurement.reactionTime, measurement.result);
    }
    for (ORVA_Statistic &statistic : m_statistics)
        statistic.finish();
    std::stable_sort(m_statistics.begin() + 1, m_statistics.end(),
                     [](const ORVA_Statistic &a, const ORVA_Statistic &b) {
                         if (!a.name || !b.name)
                             return !a.name && b.name;
                         return *a.name < *b.name;
                     });
}

int ORVA_Experiment::createLogFileName(QString &out, bool withDataDirectory) const
{
    const std::optional<QString> &lastName = m_client.lastName();
    if (!lastName || lastName->isEmpty())
        return 1;
    // Without an installation folder the data folder would be one at the root of the disk.
    if (withDataDirectory && m_baseDirectory.isEmpty())
        return 1;
    QString path = withDataDirectory ? dataFolder() + QLatin1Char('/') : QString();
    // A pasted name must not lead out of the data folder.
    path += ClientFiles::safeFileNamePart(*lastName);
    const std::optional<QString> &firstName = m_client.firstName();
    if (firstName && !firstName->isEmpty())
        path += QLatin1Char('-') + ClientFiles::safeFileNamePart(*firstName);
    out = path + QStringLiteral(".orl");
    return withDataDirectory && !m_dataPathGuard.allows(out) ? 2 : 0;
}

QString ORVA_Experiment::mediaFolder() const
{
    return m_fileLocations.mediaFolder.isEmpty() ? m_baseDirectory + QStringLiteral("/media")
                                                 : m_fileLocations.mediaFolder;
}

QString ORVA_Experiment::dataFolder() const
{
    return m_fileLocations.dataFolder.isEmpty() ? m_baseDirectory + QStringLiteral("/data")
                                                : m_fileLocations.dataFolder;
}

QString ORVA_Experiment::ownListsFile() const
{
    return m_fileLocations.ownListsFile.isEmpty() ? SyllableListFile::filePath(m_baseDirectory)
                                                  : m_fileLocations.ownListsFile;
}

Status ORVA_Experiment::saveUserLog() const
{
    QString path;
    if (createLogFileName(path, true) != 0)
        return Status::success();
    return m_userLog.save(path);
}

Status ORVA_Experiment::reset(bool resetClient)
{
    m_comment.clear();
    Status saved = Status::success();
    if (resetClient) {
        m_userLog.setClient(m_client);
        saved = saveUserLog();
        m_userLog.clear();
        m_client.setDefaults();
    } else {
        m_client.runDate().setNow();
    }
    m_selection = m_client.syllableSelection();
    m_measurements.clear();
    m_currentIndex = 0;
    m_statistics.clear();
    m_statistics.append(ORVA_Statistic());
    return saved;
}

void ORVA_Experiment::setLanguage(int language, bool loadAudio, bool resetClient)
{
    const Status saved = reset(resetClient);
    if (!saved.ok())
        logMessage(1, QStringLiteral("ERROR: %1\n").arg(saved.error()));
    m_trainStock.clear();
    m_testStock.clear();
    m_expLanguage = language;
    m_languageCode = orva::languageCode(language);
    buildStocksFromNameTables();
    if (!loadAudio)
        return;
    if (readAudioData()) {
        createSyllableLists();
        if (!m_trainSyllableList.byId(m_client.chosenList(m_expLanguage)))
            m_client.setChosenList(m_expLanguage, 0);
    } else {
        // The lists of the previous language must not be drawn from the new stocks.
        m_trainSyllableList.clear();
        m_testSyllableList.clear();
    }
}

void ORVA_Experiment::setComment(const QString &comment)
{
    m_comment = comment.left(kMaxCommentChars);
}

} // namespace orva
