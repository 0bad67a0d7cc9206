// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/StringTable.h"

#include "support/Languages.h"
#include "support/Logger.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace orva {

namespace {

QString unescape(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[++i];
            if (next == QLatin1Char('n'))
                result += QLatin1Char('\n');
            else if (next == QLatin1Char('t'))
                result += QLatin1Char('\t');
            else
                result += next;
        } else {
            result += text[i];
        }
    }
    return result;
}

bool isName(QStringView key)
{
    if (key.isEmpty() || !key.front().isLetter())
        return false;
    for (const QChar c : key) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('_')))
            return false;
    }
    return true;
}

} // namespace

const StringTable &StringTable::german()
{
    static const StringTable table = [] {
        Result<StringTable> loaded = load(QStringLiteral(":/strings/de_de.txt"));
        if (!loaded.ok()) {
            logMessage(1, QStringLiteral("ERROR: %1\n").arg(loaded.error()));
            return StringTable();
        }
        return std::move(loaded).value();
    }();
    return table;
}

Result<StringTable> StringTable::parse(const QByteArray &utf8, const QString &sourceName)
{
    StringTable table;
    const QString text = QString::fromUtf8(utf8);
    int lineNumber = 0;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        ++lineNumber;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        bool numberOk = false;
        const QStringView key = equals > 0 ? line.left(equals).trimmed() : QStringView();
        const int id = key.toInt(&numberOk);
        if (!numberOk && isName(key)) {
            const QString name = key.toString();
            if (table.m_named.contains(name))
                table.m_duplicates.append(name);
            table.m_named.insert(name, unescape(line.mid(equals + 1)));
            continue;
        }
        if (!numberOk)
            return Status::failure(QStringLiteral("cannot read string table %1: line %2: expected "
                                                  "\"<number>=<text>\" or \"<name>=<text>\"")
                                       .arg(sourceName)
                                       .arg(lineNumber));
        if (table.m_texts.contains(id))
            table.m_duplicates.append(key.toString());
        table.m_texts.insert(id, unescape(line.mid(equals + 1)));
    }
    return table;
}

Result<StringTable> StringTable::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(
            QStringLiteral("cannot read string table %1: %2").arg(path, file.errorString()));
    return parse(file.readAll(), path);
}

Result<StringTable> StringTable::loadForLanguage(const QString &installationDir, int language)
{
    if (language == 0)
        return german();
    const QString code = languageCode(language);
    if (code.isEmpty())
        return Result<StringTable>(
            german(),
            Status::failure(
                QStringLiteral("cannot load the texts of user-interface language %1: no such "
                               "language; using German")
                    .arg(language)));
    Result<StringTable> loaded =
        load(QDir(installationDir).filePath(QStringLiteral("bin/%1/strings.txt").arg(code)));
    if (!loaded.ok())
        return Result<StringTable>(
            german(), Status::failure(QStringLiteral("%1; using German").arg(loaded.error())));
    return loaded;
}

QList<int> StringTable::ids() const
{
    QList<int> result = m_texts.keys();
    std::sort(result.begin(), result.end());
    return result;
}

QStringList StringTable::keys() const
{
    QStringList result = m_named.keys();
    result.sort();
    return result;
}

QString StringTable::text(int id) const
{
    const auto found = m_texts.constFind(id);
    if (found != m_texts.constEnd())
        return *found;
    if (this != &german())
        return german().text(id);
    return QStringLiteral("#%1").arg(id);
}

QString StringTable::text(const QString &key) const
{
    const auto found = m_named.constFind(key);
    if (found != m_named.constEnd())
        return *found;
    if (this != &german())
        return german().text(key);
    return QLatin1Char('#') + key;
}

} // namespace orva
