// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Logger.h"

#include "support/Printf.h"
#include "support/ProgramVersion.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>

#include <cstdarg>
#include <cstdio>

namespace orva {

const char *const Logger::kEndBanner =
    "* * * * * * * * * * * * * * * * * *   E N D   O F   L O G F I L E"
    "   * * * * * * * * * * * * * * * * * *\n";

namespace {

QString ringText(int lineNumber, const QString &text)
{
    QString entry = QString::asprintf("[%6d]   ", lineNumber) + text;
    if (entry.size() > Logger::kRingEntryChars) {
        const bool hadLineEnd = entry.endsWith(QLatin1Char('\n'));
        entry.truncate(hadLineEnd ? Logger::kRingEntryChars - 1 : Logger::kRingEntryChars);
        if (hadLineEnd)
            entry += QLatin1Char('\n');
    }
    return entry;
}

} // namespace

Logger::~Logger()
{
    close();
}

void Logger::start(const Options &options)
{
    QMutexLocker locker(&m_lock);
    m_options = options;
    m_started = true;
    m_ringPosition = 0;
    m_lineNumber = 0;
    m_ring.clear();
    if (m_options.level == 0)
        return;
    QFile file(m_options.fileName);
    // Opening once in the start mode empties the file of the previous start.
    if (file.open(m_options.truncateAtStart ? QIODevice::WriteOnly | QIODevice::Truncate
                                            : QIODevice::Append))
        file.close();
    if (m_options.writeAtEnd)
        m_ring.assign(kRingSize, QString());
}

void Logger::close()
{
    QMutexLocker locker(&m_lock);
    if (!m_started)
        return;
    m_started = false;
    if (!m_options.writeAtEnd || m_options.level == 0)
        return;
    QFile file(m_options.fileName);
    if (!file.open(m_options.truncateAtStart ? QIODevice::WriteOnly | QIODevice::Truncate
                                             : QIODevice::Append))
        return;
    file.write(
        QString::asprintf("LogLevel: %d doLogWriteAtEnd: %d\n", m_options.level, 1).toUtf8());
    for (const QString &entry : m_ring) {
        if (!entry.isEmpty())
            file.write(entry.toUtf8());
    }
    m_ring.clear();
}

void Logger::log(int level, const QString &text)
{
    QMutexLocker locker(&m_lock);
    if (!m_started || level <= 0 || m_options.level == 0 || level > m_options.level)
        return;
    if (m_options.debuggerOutput)
        std::fputs(text.toLocal8Bit().constData(), stderr);
    if (m_options.consoleOutput)
        std::fputs(text.toLocal8Bit().constData(), stdout);
    if (m_options.writeAtEnd) {
        m_ring[m_ringPosition] = ringText(m_lineNumber, text);
        ++m_lineNumber;
        if (++m_ringPosition == kRingSize)
            m_ringPosition = 0;
        m_ring[m_ringPosition] = QString::fromLatin1(kEndBanner);
        return;
    }
    appendToFile(text);
}

void Logger::appendToFile(const QString &text)
{
    // Open and close per line, so that nothing is lost when the process ends abruptly.
    QFile file(m_options.fileName);
    if (file.open(QIODevice::Append))
        file.write(text.toUtf8());
}

int Logger::level() const
{
    QMutexLocker locker(&m_lock);
    return m_started ? m_options.level : 0;
}

QString Logger::ringEntry(int index) const
{
    QMutexLocker locker(&m_lock);
    if (index < 0 || index >= static_cast<int>(m_ring.size()))
        return QString();
    return m_ring[index];
}

Logger &Logger::instance()
{
    static Logger logger;
    return logger;
}

void logMessage(int level, const char *format, ...)
{
    Logger &logger = Logger::instance();
    if (level <= 0 || level > logger.level())
        return;
    va_list args;
    va_start(args, format);
    const QByteArray line = vformat(format, args);
    va_end(args);
    logger.log(level, QString::fromUtf8(line));
}

void logMessage(int level, const QString &text)
{
    Logger::instance().log(level, text);
}

void startProgramLog(const QString &fileName, bool toStderr)
{
    Logger::Options log;
    log.fileName = fileName;
    log.debuggerOutput = toStderr;
    Logger::instance().start(log);
    logMessage(1, "ORVA %2d.%0d.%02d debug %02d\n\n", ProgramVersion::kMajor,
               ProgramVersion::kMinor, ProgramVersion::kBuild, 0);
    const QDateTime now = QDateTime::currentDateTime();
    logMessage(1, "LOG %2d.%02d.%04d %02d:%02d\n\n", now.date().day(), now.date().month(),
               now.date().year(), now.time().hour(), now.time().minute());
}

} // namespace orva
