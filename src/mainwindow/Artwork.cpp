// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Artwork.h"

#include <QPainter>
#include <QSvgRenderer>

namespace orva::Artwork {

namespace {

QString sourceOf(int id)
{
    switch (id) {
    case kIcon:
        return QStringLiteral(":/bitmaps/icon.svg");
    case kLogo:
        return QStringLiteral(":/bitmaps/logo.svg");
    case kSoundSetup:
        return QStringLiteral(":/bitmaps/soundcard.svg");
    case kSplash:
        return QStringLiteral(":/bitmaps/splash.svg");
    default:
        return QString();
    }
}

} // namespace

QSize naturalSize(int id)
{
    switch (id) {
    case kIcon:
        return QSize(64, 64);
    case kLogo:
        return QSize(250, 64);
    case kSoundSetup:
        return QSize(240, 160);
    case kSplash:
        return QSize(600, 400);
    default:
        return QSize();
    }
}

QImage render(int id, QSize size)
{
    const QString source = sourceOf(id);
    if (source.isEmpty())
        return QImage();
    if (size.isEmpty())
        size = naturalSize(id);
    QSvgRenderer renderer(source);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

} // namespace orva::Artwork
