// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/UserLog.h"

#include "support/Logger.h"

#include <QDateTime>

#include <cmath>

namespace orva {

namespace {

// Running averages are computed in floating point and truncated toward zero.
int runningAverage(double newValue, double previousAverage, int newCount)
{
    return static_cast<int>(std::trunc((newValue + (newCount - 1) * previousAverage) / newCount));
}

} // namespace

UserLog::UserLog(std::function<qint64()> nowSeconds)
    : m_nowSeconds(std::move(nowSeconds))
{
    if (!m_nowSeconds)
        m_nowSeconds = [] { return QDateTime::currentSecsSinceEpoch(); };
}

void UserLog::clear()
{
    m_entries.clear();
    m_words.clear();
    m_client.setDefaults();
}

void UserLog::beginEntry(int type)
{
    if (!m_entries.isEmpty() && (m_entries.last().duration == 0 || m_entries.last().presented == 0))
        m_entries.removeLast();
    UserLogEntry entry;
    entry.type = type;
    entry.start = m_nowSeconds();
    m_entries.append(entry);
}

void UserLog::recordSyllable(const QString &name, int result, int reactionTimeMs)
{
    if (result == 0 || m_entries.isEmpty())
        return;
    UserLogEntry &entry = m_entries.last();
    UserLogEntry::SyllableRecord &record = entry.syllables[name];
    record.lastResult = result;
    if (result != -2) {
        ++record.count;
        record.average = runningAverage(reactionTimeMs, record.average, record.count);
    }
    entry.distinct = static_cast<int>(entry.syllables.size());
    ++entry.presented;
    if (result == 1)
        ++entry.correct;

    WordStats &word = m_words[name];
    if (result == 1)
        ++word.correct;
    if (result != -2) {
        if (entry.type == 0)
            ++word.tests;
        else
            ++word.trainings;
        word.average = runningAverage(reactionTimeMs, word.average, word.tests + word.trainings);
    }

    entry.duration = m_nowSeconds() - entry.start + 2;
    double weighted = 0;
    double count = 0;
    for (const auto &[syllable, stats] : entry.syllables) {
        weighted += double(stats.count) * stats.average;
        count += stats.count;
    }
    entry.average = count > 0 ? static_cast<int>(std::trunc(weighted / count)) : 0;
}

bool UserLog::load(const QString &path)
{
    clear();
    logMessage(2, "   UserLog: reading history files is not available yet: %s\n",
               path.toUtf8().constData());
    return false;
}

bool UserLog::save(const QString &path) const
{
    logMessage(1, "ERROR: UserLog: writing history files is not available yet: %s\n",
               path.toUtf8().constData());
    return false;
}

} // namespace orva
