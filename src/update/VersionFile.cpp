// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/VersionFile.h"

#include "support/AtomicFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

namespace orva {

namespace {

constexpr char kSection[] = "[VersionInfo]";

QList<QByteArray> nonEmptyPieces(const QByteArray &text, char separator)
{
    QList<QByteArray> pieces;
    for (const QByteArray &piece : text.split(separator)) {
        if (!piece.isEmpty())
            pieces.append(piece);
    }
    return pieces;
}

} // namespace

Status VersionFile::read(const QString &path)
{
    m_values.clear();
    const QFileInfo info(path);
    if (info.isSymLink())
        return Status::failure(QStringLiteral("%1 is a link; it is not read").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    if (file.size() > kMaxBytes)
        return Status::failure(QStringLiteral("%1 is too large for a version file").arg(path));
    const QByteArray bytes = file.read(kMaxBytes + 1);
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.contains('='))
            continue;
        const QList<QByteArray> pieces = nonEmptyPieces(line, '=');
        if (pieces.isEmpty())
            continue;
        m_values[pieces[0]] = pieces.size() > 1 ? pieces[1] : QByteArray();
    }
    return Status::success();
}

QByteArray VersionFile::toBytes() const
{
    QByteArray bytes = QByteArray(kSection) + "\r\n";
    for (const auto &[key, value] : m_values)
        bytes += key + '=' + value + "\r\n";
    bytes += QByteArray(kSection) + "\r\n";
    return bytes;
}

Status VersionFile::write(const QString &path) const
{
    return AtomicFileWriter::write(path, toBytes());
}

QByteArray VersionFile::value(const char *key) const
{
    const auto found = m_values.find(QByteArray(key));
    return found == m_values.end() ? QByteArray() : found->second;
}

bool VersionFile::isNewer(const QByteArray &candidate, const QByteArray &installed)
{
    if (candidate == installed)
        return false;
    const QList<QByteArray> a = nonEmptyPieces(candidate, '.');
    const QList<QByteArray> b = nonEmptyPieces(installed, '.');
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i) {
        const qlonglong x = a[i].toLongLong();
        const qlonglong y = b[i].toLongLong();
        if (x < y)
            return false;
        if (x > y)
            return true;
    }
    return false;
}

} // namespace orva
