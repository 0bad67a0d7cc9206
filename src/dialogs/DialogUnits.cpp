// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogUnits.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>

namespace orva {

namespace {

/// value · numerator / denominator rounded to nearest, halves away from zero.
int scaleRounded(int value, int numerator, int denominator)
{
    const qint64 product = qint64(value) * numerator;
    const qint64 half = denominator / 2;
    return int(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

} // namespace

DialogUnits DialogUnits::fromFont(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogUnits((alphabet + 26) / 52, metrics.height());
}

DialogUnits::DialogUnits(int baseX, int baseY)
    : m_baseX(std::max(1, baseX))
    , m_baseY(std::max(1, baseY))
{ }

int DialogUnits::toPixelsX(int x) const
{
    return scaleRounded(x, m_baseX, 4);
}

int DialogUnits::toPixelsY(int y) const
{
    return scaleRounded(y, m_baseY, 8);
}

QRect DialogUnits::toPixels(const QRect &rect) const
{
    return QRect(toPixelsX(rect.x()), toPixelsY(rect.y()), toPixelsX(rect.width()),
                 toPixelsY(rect.height()));
}

QSize DialogUnits::toPixels(const QSize &size) const
{
    return QSize(toPixelsX(size.width()), toPixelsY(size.height()));
}

} // namespace orva
