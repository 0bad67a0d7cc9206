// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/SyllableListFile.h"

#include "records/ORVA_Date.h"
#include "records/TextFile.h"
#include "support/Logger.h"

#include <QRegularExpression>

namespace orva {

namespace {

constexpr int kMaxLineChars = 1023;
constexpr const char *kUpperCodes[] = { "DE_DE", "EN_US", "EN_UK", "ES_ES", "FR_FR", "PL_PL" };

// The decimal number at the start of `text` ("3.0", " 2.5x"), as atof reads it; 0 for none.
double leadingDecimal(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0.0;
}

int languageOf(const QString &code)
{
    for (int language = 0; language < 6; ++language) {
        if (code.compare(QLatin1String(kUpperCodes[language]), Qt::CaseInsensitive) == 0)
            return language;
    }
    return -1;
}

// A label is one field of the line: white space would split it.
QString oneWord(const QString &label)
{
    static const QRegularExpression space(QStringLiteral("\\s"));
    QString word = label;
    word.replace(space, QStringLiteral("_"));
    if (word.isEmpty())
        word = QStringLiteral("_");
    return word.left(SyllableListFile::kMaxFieldChars);
}

// The label begins its line, where the reader would take a line that begins like the header or
// the section header for one, or drop a leading U+FEFF (the text reader drops a byte-order mark
// that begins a line), and with it the whole list when the label was nothing else.
QString labelField(const QString &label, const QString &code)
{
    QString word = label;
    while (word.startsWith(QChar(0xFEFF)))
        word.remove(0, 1);
    word = oneWord(word);
    const QString lineStart = word + QLatin1Char(' ') + code;
    if (lineStart.startsWith(u"ORVA SyllableList") || lineStart.startsWith(u"[Syllablelist]"))
        word = (QLatin1Char('_') + word).left(SyllableListFile::kMaxFieldChars);
    return word;
}

} // namespace

QString SyllableListFile::filePath(const QString &baseDirectory)
{
    return baseDirectory + QStringLiteral("/bin/ORVA.ors");
}

QString SyllableListFile::upperCode(int language)
{
    return language >= 0 && language < 6 ? QString::fromLatin1(kUpperCodes[language]) : QString();
}

Result<QList<SyllableListFile::OwnList>> SyllableListFile::read(const QString &path)
{
    TextFile file;
    if (file.openRead(path) != 0 || !file.isOpen())
        return Status::failure(QStringLiteral("cannot read %1: no such file").arg(path));
    Result<QList<OwnList>> lists = read(file);
    if (!lists.ok())
        return Status::failure(QStringLiteral("cannot read %1: %2").arg(path, lists.error()));
    return lists;
}

Result<QList<SyllableListFile::OwnList>> SyllableListFile::read(LineSource &source)
{
    QList<OwnList> lists;
    double version = 0;
    bool headerFound = false;
    bool sectionFound = false;
    QString line;
    while (source.readLine(line, kMaxLineChars)) {
        if (line.startsWith(u"ORVA SyllableList")) {
            version = leadingDecimal(QStringView(line).mid(18));
            headerFound = true;
            continue;
        }
        if (line.startsWith(u"[Syllablelist]")) {
            if (!headerFound)
                return Status::failure(QStringLiteral("\"[Syllablelist]\" before the header"));
            sectionFound = true;
            continue;
        }
        if (!headerFound || !sectionFound)
            continue;
        QStringList fields =
            line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (fields.size() > kMaxFields)
            fields.resize(kMaxFields);
        const qsizetype n = fields.size();
        if (n < 3) {
            // Nothing more is read as a list until the next section line.
            sectionFound = false;
            continue;
        }
        if (std::any_of(fields.cbegin(), fields.cend(),
                        [](const QString &field) { return field.size() > kMaxFieldChars; })) {
            logMessage(2, "   SyllableListFile: field longer than %d characters, line dropped\n",
                       kMaxFieldChars);
            continue;
        }
        OwnList list;
        list.label = fields[0];
        list.languageCode = fields[1];
        list.language = languageOf(fields[1]);
        qsizetype lastSyllable = n - 1; // one past, as an index
        if (version >= 3.0) {
            list.id = leadingInt(fields[n - 2]);
            list.active = leadingInt(fields[n - 1]) != 0;
            lastSyllable = n - 2;
        }
        for (qsizetype i = 2; i < lastSyllable; ++i)
            list.syllables << fields[i];
        // A line before 3.0 has no id and no flag, so ten fields hold seven syllables: more than a
        // list may have and than the file can keep. The seventh is dropped here, where it is
        // logged, rather than silently by the next write, so that the list the program runs is
        // the list it saves.
        if (list.syllables.size() > kMaxSyllables) {
            logMessage(
                2, "   SyllableListFile: list %s has more than %d syllables, the rest dropped\n",
                list.label.toUtf8().constData(), kMaxSyllables);
            list.syllables.resize(kMaxSyllables);
        }
        if (list.syllables.isEmpty())
            continue; // a list without syllables can never be run
        lists << list;
    }
    return lists;
}

QString SyllableListFile::toText(const QList<OwnList> &lists)
{
    QString text = QStringLiteral("ORVA SyllableList 3.0\n[Syllablelist]\n");
    for (const OwnList &list : lists) {
        QString code = upperCode(list.language);
        if (code.isEmpty())
            code = oneWord(list.languageCode);
        text += labelField(list.label, code) + QLatin1Char(' ') + code + QLatin1Char(' ');
        for (const QString &syllable : list.syllables.mid(0, kMaxSyllables))
            text += syllable + QLatin1Char(' ');
        text += QString::number(list.id) + QLatin1Char(' ');
        text += QLatin1String(list.active ? "1" : "0") + QLatin1Char(' ');
        text += QLatin1Char('\n');
    }
    return text;
}

Status SyllableListFile::write(const QString &path, const QList<OwnList> &lists)
{
    return TextFile::saveProgramText(path, toText(lists));
}

} // namespace orva
