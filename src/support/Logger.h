// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMutex>
#include <QString>

#include <memory>
#include <vector>

namespace orva {

/// The diagnostic log "log.txt": one line per operation step, kept when its level is at or below
/// the configured level. Lines go to the file at once (immediate mode) or into a ring of 100,000
/// entries that is written when the logger closes. Safe to call from any thread: one lock
/// serialises every call.
class Logger
{
public:
    struct Options
    {
        int level = 2; ///< highest level kept; 0 switches logging off
        QString fileName = QStringLiteral("log.txt");
        bool writeAtEnd = false; ///< ring mode
        bool debuggerOutput = false; ///< every kept line also goes to stderr
        bool truncateAtStart = true; ///< "w" at start instead of "a"
        bool consoleOutput = false; ///< every kept line also goes to stdout
    };

    static constexpr int kRingSize = 100000;
    /// A ring entry holds at most this many characters; longer entries are cut and keep a line end.
    static constexpr int kRingEntryChars = 199;
    static const char *const kEndBanner;

    Logger() = default;
    ~Logger();
    Logger(const Logger &) = delete;
    Logger &operator=(const Logger &) = delete;

    /// Sets the options; with a level above 0 opens the file in the start mode once (so a
    /// truncating start empties it) and clears the ring.
    void start(const Options &options);
    /// Writes the ring in ring mode. Further lines are dropped until the next start().
    void close();

    /// Keeps `text` as it is (callers end their lines with "\n") when `level` passes the filter.
    void log(int level, const QString &text);

    int level() const;
    /// Ring entry `index` (0 .. kRingSize-1) as it would be written; for tests and diagnostics.
    QString ringEntry(int index) const;

    /// The logger the program writes to.
    static Logger &instance();

private:
    void appendToFile(const QString &text);

    mutable QMutex m_lock;
    Options m_options;
    bool m_started = false;
    std::vector<QString> m_ring;
    int m_ringPosition = 0;
    int m_lineNumber = 0;
};

/// printf-style line to the process-wide logger; UTF-8 arguments for %s.
void logMessage(int level, const char *format, ...) __attribute__((format(printf, 2, 3)));
/// The wide-text variant: the line is already formatted.
void logMessage(int level, const QString &text);

/// The program's log: `fileName` emptied, the kept lines also on stderr when `toStderr`, and
/// the banner with the version and the start time.
void startProgramLog(const QString &fileName, bool toStderr);

} // namespace orva
