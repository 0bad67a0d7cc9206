// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/RunFile.h"

#include "records/LineSource.h"
#include "records/TextFile.h"
#include "support/Logger.h"

#include <QRegularExpression>
#include <QTextStream>

namespace orva {

namespace {

constexpr const char *kLowerCodes[] = { "de_de", "en_us", "en_uk", "es_es", "fr_fr", "pl_pl" };

int languageOfCode(QStringView code)
{
    for (int language = 0; language < 6; ++language) {
        if (code == QLatin1String(kLowerCodes[language]))
            return language;
    }
    return -1;
}

QString modeWord(int mode)
{
    switch (mode) {
    case 1:
        return QStringLiteral("PreTest");
    case 2:
        return QStringLiteral("MainTest");
    case 3:
        return QStringLiteral("Training");
    }
    return QString();
}

// The syllable name of a "Silbe%d=%s" line: the word after the "=", as "%s" reads it.
QString valueWord(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return QString();
    QStringView value = line.mid(equals + 1);
    qsizetype start = 0;
    while (start < value.size() && value[start].isSpace())
        ++start;
    qsizetype end = start;
    while (end < value.size() && !value[end].isSpace())
        ++end;
    return value.mid(start, end - start).toString();
}

int valueNumber(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    return equals < 0 ? 0 : leadingInt(line.mid(equals + 1));
}

// Reads the sections of a run file one after the other; each step starts where the one before
// stopped, and a step that meets a header that is not its own hands it back.
class Reader
{
public:
    Reader(LineSource &source, RunFileContent &run)
        : m_source(source)
        , m_run(run)
    { }

    bool next(int maxChars = RunFile::kMaxLineChars)
    {
        m_lineStart = m_source.position();
        return m_source.readLine(m_line, maxChars);
    }
    void handBack() { m_source.seek(m_lineStart); }
    const QString &line() const { return m_line; }

    /// The run section; false when the language test is to be skipped.
    bool readIntro(int &language)
    {
        bool introFound = false;
        while (next()) {
            if (m_line.startsWith(u"[Intro]")) {
                introFound = true;
                continue;
            }
            if (m_line.startsWith(u'[')) {
                handBack();
                if (introFound)
                    return true;
                // No run section: the run kind follows from the measurements later.
                m_noRunSection = true;
                m_run.mode = 1;
                return false;
            }
            const bool isLanguage = m_line.startsWith(u"Language");
            if (!isLanguage && !m_line.startsWith(u"Modus"))
                continue;
            if (!introFound)
                return false;
            if (isLanguage) {
                const int code = languageOfCode(QStringView(m_line).mid(9, 5));
                if (code >= 0)
                    language = code;
            } else {
                const QStringView word = QStringView(m_line).mid(6);
                if (word.startsWith(u"Training"))
                    m_run.mode = 3;
                else if (word.startsWith(u"PreTest"))
                    m_run.mode = 1;
                else if (word.startsWith(u"MainTest"))
                    m_run.mode = 2;
            }
        }
        if (!introFound) {
            m_noRunSection = true;
            m_run.mode = 1;
        }
        return introFound;
    }

    void readComment()
    {
        QString comment;
        // Comment lines are read whole: a paragraph typed as one line may be long.
        while (next(RunFile::kMaxCommentChars)) {
            if (m_line.startsWith(u'[')) {
                if (m_line.startsWith(u"[Comment]"))
                    continue;
                handBack();
                break;
            }
            if (comment.size() < RunFile::kMaxCommentChars)
                comment += m_line + QLatin1String("\r\n");
        }
        comment.truncate(RunFile::kMaxCommentChars);
        m_run.comment = comment;
    }

    bool readWaves()
    {
        bool wavesFound = false;
        while (next()) {
            if (m_line.startsWith(u"[Waves]")) {
                wavesFound = true;
                continue;
            }
            if (m_line.startsWith(u'[')) {
                handBack();
                break;
            }
            if (m_line.startsWith(u"Wave") && !wavesFound)
                return false;
        }
        return wavesFound;
    }

    /// The measurements with their stored values in `values`.
    bool readData(QList<int> &values)
    {
        bool dataFound = false;
        bool counted = false;
        int lastName = 0;
        int lastValue = 0;
        while (next()) {
            if (m_line.startsWith(u"[Daten]")) {
                dataFound = true;
                continue;
            }
            if (m_line.startsWith(u'[')) {
                if (!dataFound)
                    return false;
                handBack();
                break;
            }
            const bool isName = m_line.startsWith(u"Silbe");
            const bool isValue = m_line.startsWith(u"Messung");
            if (!dataFound) {
                if (isName || isValue)
                    return false;
                continue;
            }
            if (m_line.startsWith(u"Anzahl")) {
                const int count = valueNumber(m_line);
                if (count < 0 || count > RunFile::kMaxMeasurements)
                    return false;
                m_run.measurements = QList<RunFileMeasurement>(count);
                values = QList<int>(count, 0);
                counted = true;
            } else if (isName || isValue) {
                if (!counted)
                    return false;
                int &last = isName ? lastName : lastValue;
                const int number = leadingInt(QStringView(m_line).mid(isName ? 5 : 7));
                if (number != last + 1 || number > m_run.measurements.size())
                    return false;
                last = number;
                if (isName) {
                    QString name = valueWord(m_line);
                    if (name.isEmpty())
                        return false; // no syllable has an empty name
                    m_run.measurements[number - 1].name = std::move(name);
                } else {
                    values[number - 1] = valueNumber(m_line);
                }
            }
        }
        return dataFound;
    }

    bool noRunSection() const { return m_noRunSection; }

private:
    LineSource &m_source;
    RunFileContent &m_run;
    QString m_line;
    qint64 m_lineStart = 0;
    bool m_noRunSection = false;
};

} // namespace

int RunFile::answerWindow(int mode, const ORVA_Proband &client)
{
    return mode == 3 ? client.answerWindow() : kTestAnswerWindowMs;
}

int RunFile::encode(int result, int reactionTime, int answerWindow)
{
    switch (result) {
    case 1:
        return reactionTime;
    case -1:
        return -reactionTime;
    case -2:
        return -answerWindow;
    }
    return 0;
}

bool RunFile::decode(int value, int answerWindow, int &result, int &reactionTime)
{
    const qint64 d = value;
    const qint64 w = answerWindow;
    if (d >= 0 && d < w) {
        result = 1;
        reactionTime = value;
    } else if (d < 0 && d > -w) {
        result = -1;
        reactionTime = -value;
    } else if (d >= w || d == -w) {
        result = -2;
        reactionTime = answerWindow;
    } else {
        return false;
    }
    return true;
}

int RunFile::read(const QString &path, int expLanguage, RunFileContent &content)
{
    logMessage(10, "START Exp::read\n");
    logMessage(10, "EX::RD 10: fName : %s\n", path.toUtf8().constData());
    TextFile file;
    if (file.openRead(path, TextFile::Links::Refuse) != 0 || !file.isOpen())
        return -1;
    return read(file, expLanguage, content);
}

int RunFile::read(LineSource &source, int expLanguage, RunFileContent &content)
{
    RunFileContent run;
    run.mode = content.mode;
    run.client.setDefaults();
    Reader reader(source, run);

    int language = 0;
    if (reader.readIntro(language) && language != expLanguage)
        return 1;
    run.language = language;
    if (!run.client.read(source))
        return -1;
    reader.readComment();
    if (!reader.readWaves())
        return -1;
    QList<int> values;
    if (!reader.readData(values))
        return -1;

    const qsizetype count = run.measurements.size();
    if (reader.noRunSection())
        run.mode = count <= 6 ? 3 : count <= 12 ? 1 : count <= 60 ? 2 : 1;
    // Decoded once the run kind is final, so that a run file without a run section is judged by
    // the answer window of the kind it is read as.
    const int window = answerWindow(run.mode, run.client);
    for (qsizetype k = 0; k < count; ++k) {
        RunFileMeasurement &measurement = run.measurements[k];
        if (!decode(values[k], window, measurement.result, measurement.reactionTime))
            return -1;
    }
    // The summaries that follow are for people; the statistics are computed anew.
    content = std::move(run);
    return 0;
}

QString RunFile::toText(const RunFileContent &content)
{
    QString text;
    QTextStream out(&text);
    out << "ORVA Experiment 2.0\n";
    out << "[Intro]\n";
    if (const QString word = modeWord(content.mode); !word.isEmpty())
        out << "Modus=" << word << "\n";
    const QString code = content.language >= 0 && content.language < 6
        ? QString::fromLatin1(kLowerCodes[content.language])
        : QString();
    out << "Language=" << code << "\n";
    content.client.write(out);
    if (!content.comment.isEmpty()) {
        out << "\n[Comment]\n";
        static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
        for (const QString &line : content.comment.split(lineBreak)) {
            if (line.startsWith(QLatin1Char('[')))
                out << ' ';
            out << line << "\n";
        }
    }
    out << "[Waves]\n";
    for (int i = 0; i < content.syllables.size(); ++i)
        out << "Wave" << (i + 1) << "=" << content.syllables[i].name << "\n";
    out << "[Daten]\n";
    out << "Anzahl=" << content.measurements.size() << "\n";
    const int window = answerWindow(content.mode, content.client);
    for (int k = 0; k < content.measurements.size(); ++k) {
        const RunFileMeasurement &measurement = content.measurements[k];
        out << "Silbe" << (k + 1) << "=" << measurement.name << "\n";
        out << "Messung" << (k + 1) << "="
            << encode(measurement.result, measurement.reactionTime, window) << "\n";
    }
    out << "[Durchschnitt]\n";
    out << "Durchschnitt=" << content.total.average << "\n";
    out << "Richtige=" << content.total.percentRight << "%\n";
    out << "Keine=" << content.total.percentNone << "%\n";
    for (const RunFileSummary &syllable : content.syllables) {
        out << "[" << syllable.name << "]\n";
        out << "Durchschnitt=" << syllable.average << "\n";
        out << "Anzahl=" << syllable.count << "\n";
        out << "Richtige=" << syllable.right << "\n";
        out << "PRichtige=" << syllable.percentRight << "%\n";
        out << "Keine=" << syllable.none << "\n";
        out << "PKeine=" << syllable.percentNone << "%\n";
    }
    out.flush();
    return text;
}

Status RunFile::write(const QString &path, const RunFileContent &content)
{
    const QString text = toText(content);
    // A file that the reader would refuse is no saved run: it is not written, and the save says
    // so instead of reporting success.
    StringLineSource source = StringLineSource::fromText(text);
    RunFileContent back;
    back.mode = content.mode;
    if (read(source, content.language, back) != 0
        || back.measurements.size() != content.measurements.size()) {
        logMessage(1, "ERROR: run file %s would not read back; not written\n",
                   path.toUtf8().constData());
        return Status::failure(
            QStringLiteral("cannot write %1: the run's values do not form a readable run file")
                .arg(path));
    }
    return TextFile::saveProgramText(path, text);
}

} // namespace orva
