// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/LineSource.h"

namespace orva {

StringLineSource StringLineSource::fromText(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return StringLineSource(std::move(lines));
}

bool StringLineSource::readLine(QString &line, int maxChars)
{
    if (m_next >= m_lines.size())
        return false;
    line = m_lines[m_next++].left(maxChars);
    return true;
}

void StringLineSource::seek(qint64 position)
{
    m_next = qBound<qint64>(0, position, m_lines.size());
}

} // namespace orva
