// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/ORVA_Proband.h"
#include "support/Status.h"

#include <QList>
#include <QString>

#include <functional>
#include <map>

namespace orva {

class LineSource;

/// One run in a client's training history.
struct UserLogEntry
{
    struct SyllableRecord
    {
        int count = 0;
        int lastResult = 0;
        int average = 0;
    };

    int type = 0; ///< 0 test, 1 training
    qint64 start = 0; ///< seconds since 1970-01-01 UTC
    qint64 duration = 0; ///< seconds
    int presented = 0;
    int distinct = 0;
    int correct = 0;
    int average = 0; ///< ms
    std::map<QString, SyllableRecord> syllables; ///< in memory only
};

/// Per syllable over all runs.
struct WordStats
{
    int tests = 0;
    int trainings = 0;
    int correct = 0;
    int average = 0; ///< ms
};

/// A client's training history: one entry per run and per syllable the counted presentations.
/// Owned by the run model; UI thread only.
class UserLog
{
public:
    /// Lines of the file are read up to this many characters.
    static constexpr int kMaxLineChars = 1023;

    /// `nowSeconds` gives the wall-clock time in seconds since 1970 (UTC).
    explicit UserLog(std::function<qint64()> nowSeconds = {});

    /// Empties entries and words; the client copy returns to the defaults.
    void clear();
    /// Starts a new entry of `type` (0 test, 1 training); an entry in which nothing was
    /// recorded does not survive the start of the next one.
    void beginEntry(int type);
    /// Counts one presentation in the current entry and the word list; result 0 changes nothing.
    void recordSyllable(const QString &name, int result, int reactionTimeMs);
    void setClient(const ORVA_Proband &client) { m_client = client; }
    const ORVA_Proband &client() const { return m_client; }

    /// Reads the history file at `path`; false when there is none or it cannot be read (the
    /// history is then left empty). Changes no file.
    [[nodiscard]] bool load(const QString &path);
    /// load() for a history that will be saved again: a file that is there but cannot be read is
    /// renamed to "<path>.damaged-<date>-<time>" and logged, so that the next save does not
    /// replace it.
    [[nodiscard]] bool loadOrSetAside(const QString &path);
    /// True when entries were recorded for the file at `path` that a failed save did not write
    /// yet: the history in memory is then newer than the file and must not be read over.
    bool holdsUnsavedEntriesFor(const QString &path) const { return m_unsaved && path == m_path; }
    /// load() from lines already open.
    [[nodiscard]] bool read(LineSource &source);
    /// Writes the history file, replacing `path` only once it was written completely; a failure
    /// leaves a previous file as it was and says why.
    Status save(const QString &path) const;
    /// The text of the file, with "\n" line ends.
    QString toText() const;

    const QList<UserLogEntry> &entries() const { return m_entries; }
    const std::map<QString, WordStats> &words() const { return m_words; }
    int currentEntry() const { return m_entries.size() - 1; }

private:
    /// Appends `entry`, first dropping a last entry in which nothing was recorded.
    void appendEntry(UserLogEntry entry);
    void readEntryLine(QStringView line);
    void readWordLine(QStringView line);
    /// Clears what a rejected file left and returns false.
    bool rejectRead();

    std::function<qint64()> m_nowSeconds;
    QString m_path; ///< the file this history was last loaded from or saved to
    mutable bool m_unsaved = false; ///< entries recorded since then
    QList<UserLogEntry> m_entries;
    std::map<QString, WordStats> m_words;
    ORVA_Proband m_client;
};

} // namespace orva
