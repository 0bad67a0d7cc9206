// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/UserLog.h"

#include "records/LineSource.h"
#include "records/TextFile.h"
#include "support/Logger.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orva {

namespace {

// Running averages are computed in floating point and truncated toward zero.
int runningAverage(double newValue, double previousAverage, int newCount)
{
    return static_cast<int>(std::trunc((newValue + (newCount - 1) * previousAverage) / newCount));
}

int clampToInt(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

// Reads a line the way scanf reads it with a format of literals and "%d": blanks in the format
// match any run of white space, "%d" skips white space and takes an optional sign and digits.
class Scanner
{
public:
    explicit Scanner(QStringView text)
        : m_text(text)
    { }

    bool literal(char16_t c)
    {
        skipSpace();
        if (m_next >= m_text.size() || m_text[m_next] != QChar(c))
            return false;
        ++m_next;
        return true;
    }

    bool integer(qint64 &value)
    {
        skipSpace();
        qsizetype i = m_next;
        bool negative = false;
        if (i < m_text.size() && (m_text[i] == u'-' || m_text[i] == u'+'))
            negative = m_text[i++] == u'-';
        const qsizetype firstDigit = i;
        qint64 magnitude = 0;
        for (; i < m_text.size() && m_text[i] >= u'0' && m_text[i] <= u'9'; ++i)
            magnitude = qMin<qint64>(magnitude * 10 + (m_text[i].unicode() - u'0'), kLimit);
        if (i == firstDigit)
            return false;
        m_next = i;
        value = negative ? -magnitude : magnitude;
        return true;
    }

private:
    // Far beyond 32 bits, and small enough that one more digit cannot overflow.
    static constexpr qint64 kLimit = qint64(1) << 40;

    void skipSpace()
    {
        while (m_next < m_text.size() && m_text[m_next].isSpace())
            ++m_next;
    }

    QStringView m_text;
    qsizetype m_next = 0;
};

} // namespace

UserLog::UserLog(std::function<qint64()> nowSeconds)
    : m_nowSeconds(std::move(nowSeconds))
{
    if (!m_nowSeconds)
        m_nowSeconds = [] { return QDateTime::currentSecsSinceEpoch(); };
}

void UserLog::clear()
{
    m_unsaved = false;
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
    m_unsaved = true;
}

void UserLog::recordSyllable(const QString &name, int result, int reactionTimeMs)
{
    if (result == 0 || m_entries.isEmpty())
        return;
    m_unsaved = true;
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

void UserLog::appendEntry(UserLogEntry entry)
{
    if (!m_entries.isEmpty() && (m_entries.last().duration == 0 || m_entries.last().presented == 0))
        m_entries.removeLast();
    m_entries.append(std::move(entry));
}

bool UserLog::load(const QString &path)
{
    clear();
    m_path = path;
    TextFile file;
    if (file.openRead(path, TextFile::Links::Refuse) != 0 || !file.isOpen()) {
        logMessage(2, "   UserLog: no history at %s\n", path.toUtf8().constData());
        return false;
    }
    return read(file);
}

bool UserLog::loadOrSetAside(const QString &path)
{
    if (load(path))
        return true;
    // A link is not the program's to move; it was refused and reported where it was checked.
    if (!QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return false;
    // The next save would replace a history that could not be read; it is kept beside it.
    clear();
    const QString aside =
        path + QDateTime::currentDateTime().toString(QStringLiteral("'.damaged-'yyyyMMdd-HHmmss"));
    QString kept = aside;
    for (int n = 2; QFileInfo::exists(kept) || QFileInfo(kept).isSymLink(); ++n)
        kept = QStringLiteral("%1-%2").arg(aside).arg(n);
    if (QFile::rename(path, kept))
        logMessage(1, "ERROR: UserLog: %s cannot be read; kept as %s\n", path.toUtf8().constData(),
                   kept.toUtf8().constData());
    else
        logMessage(1, "ERROR: UserLog: %s cannot be read, nor be renamed\n",
                   path.toUtf8().constData());
    return false;
}

bool UserLog::read(LineSource &source)
{
    clear();
    enum class Section { None, Entries, Words };
    bool headerSeen = false;
    Section section = Section::None;
    QString line;
    for (qint64 lineStart = source.position(); source.readLine(line, kMaxLineChars);
         lineStart = source.position()) {
        if (line.startsWith(u"ORVA Logfile: Versi")) {
            headerSeen = true;
        } else if (line == u"[Proband]") {
            source.seek(lineStart);
            // The client reader stops in front of the next header, which this loop reads next.
            (void)m_client.read(source);
            m_client.runDate() = ORVA_Date();
            if (source.position() <= lineStart)
                return rejectRead(); // a source that cannot move on would loop here for ever
        } else if (line.startsWith(u"[ExpList]")) {
            if (!headerSeen)
                return rejectRead();
            section = Section::Entries;
        } else if (line.startsWith(u"[WordList]")) {
            if (!headerSeen)
                return rejectRead();
            section = Section::Words;
        } else if (line.startsWith(u'[')) {
            if (!headerSeen || section == Section::None)
                return rejectRead();
            if (section == Section::Entries)
                readEntryLine(line);
            else
                readWordLine(line);
        }
    }
    return true;
}

bool UserLog::rejectRead()
{
    clear();
    return false;
}

void UserLog::readEntryLine(QStringView line)
{
    // "[%d] %d : %d : %d : %d : %d : %d : %d", read as scanf reads it: a field that cannot be read
    // ends the line and the later fields keep their initial values.
    Scanner scan(line);
    qint64 values[8] = { 0, 1, 0, 0, 0, 0, 0, 0 };
    if (scan.literal(u'[') && scan.integer(values[0]) && scan.literal(u']')) {
        for (int field = 1; field < 8; ++field) {
            if ((field > 1 && !scan.literal(u':')) || !scan.integer(values[field]))
                break;
        }
    }
    UserLogEntry entry;
    entry.type = clampToInt(values[1]);
    // The file holds the low 32 bits of start and duration; they fill zero-initialised 64-bit
    // values, so start times up to the year 2106 read back.
    entry.start = static_cast<quint32>(values[2]);
    entry.duration = static_cast<quint32>(values[3]);
    entry.presented = clampToInt(values[4]);
    entry.distinct = clampToInt(values[5]);
    entry.correct = clampToInt(values[6]);
    entry.average = clampToInt(values[7]);
    appendEntry(std::move(entry));
}

void UserLog::readWordLine(QStringView line)
{
    // "[%d]%s:::%d:%d:%d:%d": the name runs from the first "]" to the first ":::" after it.
    const qsizetype close = line.indexOf(u']');
    if (close < 0)
        return;
    const qsizetype separator = line.indexOf(u":::", close + 1);
    if (separator < 0)
        return;
    const QString name = line.mid(close + 1, separator - close - 1).toString();
    const QList<QStringView> numbers = line.mid(separator + 3).split(u':');
    const auto number = [&](int i) { return i < numbers.size() ? leadingInt(numbers[i]) : 0; };
    WordStats &word = m_words[name];
    word.tests = number(0);
    word.trainings = number(1);
    word.correct = number(2);
    word.average = number(3);
}

QString UserLog::toText() const
{
    QString text;
    QTextStream out(&text);
    out << "ORVA Logfile: Version 2.00.00\n";
    m_client.write(out);
    out << "[ExpList]\n";
    for (int i = 0; i < m_entries.size(); ++i) {
        const UserLogEntry &entry = m_entries[i];
        // Start and duration are stored as their low 32 bits, which is what every reader expects.
        out << QString::asprintf("[%4d] ", i)
            << QString::asprintf("%d : %d : %d : %d : %d : %d : %d\n", entry.type,
                                 static_cast<qint32>(entry.start),
                                 static_cast<qint32>(entry.duration), entry.presented,
                                 entry.distinct, entry.correct, entry.average);
    }
    out << "[WordList]\n";
    int index = 0;
    for (const auto &[name, word] : m_words) {
        out << QString::asprintf("[%d]", index++) << name
            << QString::asprintf(":::%d:%d:%d:%d\n", word.tests, word.trainings, word.correct,
                                 word.average);
    }
    out.flush();
    return text;
}

Status UserLog::save(const QString &path) const
{
    Status saved = TextFile::saveProgramText(path, toText());
    if (saved.ok() && path == m_path)
        m_unsaved = false;
    return saved;
}

} // namespace orva
