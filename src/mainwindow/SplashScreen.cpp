// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/SplashScreen.h"

#include "mainwindow/Artwork.h"
#include "report/DrawingSurface.h"
#include "report/Palette.h"
#include "support/ProgramVersion.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

namespace orva {

namespace {

QFont arial(int pixelHeight, int weight)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

} // namespace

QS_SplashScreen::QS_SplashScreen(const StringTable &strings, Palette &palette, int language)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_strings(strings)
    , m_palette(palette)
    , m_language(language)
    , m_bitmap(Artwork::render(Artwork::kSplash))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("QS_SplashScreen"));
    resize(m_bitmap.size());
    if (const QScreen *screen = this->screen())
        move(screen->geometry().center() - rect().center());
    m_lifetime.start(kLifetimeMs, this);
}

int QS_SplashScreen::textColumn(int language)
{
    return (language == 4 || language == 5) ? 350 : 380;
}

void QS_SplashScreen::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_bitmap);
    DrawingSurface surface(m_palette);
    surface.begin(&painter, rect());
    // Every line twice: a grey shadow two pixels right and down, then the text in near-black.
    const auto shadowed = [&](int x, int y, const QString &text) {
        surface.setTextColor(Palette::grey(0.8));
        surface.textOut(x + 2, y + 2, text);
        surface.setTextColor(Palette::kNearBlack);
        surface.textOut(x, y, text);
    };
    const int x = textColumn(m_language);
    const QFont title = arial(30, 700);
    surface.setFont(&title);
    int y = 36;
    for (int id = 281; id <= 284; ++id) {
        shadowed(x, y, m_strings.text(id));
        y += surface.textHeight();
    }
    const QFont version = arial(20, 700);
    surface.setFont(&version);
    shadowed(x + 45, 171,
             m_strings.text(Text::kVersion).replace(QLatin1String("%s"), ProgramVersion::text()));
    surface.end();
}

void QS_SplashScreen::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_lifetime.timerId())
        return QWidget::timerEvent(event);
    m_lifetime.stop();
    close();
}

} // namespace orva
