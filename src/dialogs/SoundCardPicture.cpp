// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/SoundCardPicture.h"

#include "support/Languages.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace orva::SoundCardPicture {

namespace {

// Everything below is in the picture's own coordinates (kNaturalSize).
constexpr QRectF kPlate(60, 200, 1486, 200);
constexpr QPointF kPort(470, 300);
constexpr QPointF kLineInJack(890, 300);
constexpr qreal kJackRing = 62;
constexpr qreal kLabelTextHeight = 54;
constexpr qreal kLabelMargin = 20;

const QColor kGreen(0x2f, 0xa8, 0x4f);
const QColor kRed(0xd7, 0x26, 0x3d);
const QColor kBlue(0x2d, 0x6c, 0xc0);
const QColor kInk(0x1f, 0x2a, 0x33);
const QColor kSteelEdge(0x5b, 0x61, 0x68);

void drawPlate(QPainter &painter)
{
    QLinearGradient steel(kPlate.topLeft(), kPlate.bottomLeft());
    steel.setColorAt(0, QColor(0xdf, 0xe2, 0xe6));
    steel.setColorAt(0.5, QColor(0xc3, 0xc8, 0xce));
    steel.setColorAt(1, QColor(0x9a, 0xa1, 0xa8));
    painter.setPen(QPen(kSteelEdge, 4));
    painter.setBrush(steel);
    painter.drawRoundedRect(kPlate, 14, 14);

    // The bent-over tab with its screw slot on the left, the tongue into the case on the right.
    const QRectF tab(kPlate.left() - 40, kPlate.top() - 30, 90, kPlate.height() + 60);
    painter.drawRoundedRect(tab, 10, 10);
    painter.setBrush(QColor(0x4a, 0x50, 0x56));
    painter.drawRoundedRect(QRectF(tab.left() + 28, tab.top() + 22, 34, 56), 16, 16);
    painter.setBrush(steel);
    const QPolygonF tongue({ QPointF(kPlate.right(), kPlate.top() + 40),
                             QPointF(kPlate.right() + 50, kPlate.top() + 70),
                             QPointF(kPlate.right() + 50, kPlate.bottom() - 70),
                             QPointF(kPlate.right(), kPlate.bottom() - 40) });
    painter.drawPolygon(tongue);
}

QPolygonF trapezoid(QPointF centre, qreal topWidth, qreal bottomWidth, qreal height)
{
    return QPolygonF({ QPointF(centre.x() - topWidth / 2, centre.y() - height / 2),
                       QPointF(centre.x() + topWidth / 2, centre.y() - height / 2),
                       QPointF(centre.x() + bottomWidth / 2, centre.y() + height / 2),
                       QPointF(centre.x() - bottomWidth / 2, centre.y() + height / 2) });
}

void drawHexPost(QPainter &painter, QPointF centre)
{
    QPolygonF hexagon;
    for (int corner = 0; corner < 6; ++corner) {
        const double angle = M_PI / 3 * corner;
        hexagon << centre + QPointF(26 * std::cos(angle), 26 * std::sin(angle));
    }
    painter.setPen(QPen(kSteelEdge, 3));
    painter.setBrush(QColor(0xb0, 0xb6, 0xbc));
    painter.drawPolygon(hexagon);
    painter.setBrush(QColor(0x30, 0x34, 0x38));
    painter.drawEllipse(centre, 10, 10);
}

/// The 15-pin port: a D-shaped shell, eight pins above seven, a threaded post on either side.
void drawPort(QPainter &painter)
{
    painter.setPen(QPen(kSteelEdge, 4));
    painter.setBrush(QColor(0x8a, 0x91, 0x98));
    painter.drawPolygon(trapezoid(kPort, 430, 380, 120));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2b, 0x2f, 0x33));
    painter.drawPolygon(trapezoid(kPort, 384, 340, 84));
    painter.setBrush(QColor(0xd9, 0xb4, 0x4a));
    constexpr qreal kPitch = 42;
    for (int pin = 0; pin < 8; ++pin)
        painter.drawEllipse(QPointF(kPort.x() + (pin - 3.5) * kPitch, kPort.y() - 20), 9, 9);
    for (int pin = 0; pin < 7; ++pin)
        painter.drawEllipse(QPointF(kPort.x() + (pin - 3) * kPitch, kPort.y() + 20), 9, 9);
    drawHexPost(painter, kPort + QPointF(-262, 0));
    drawHexPost(painter, kPort + QPointF(262, 0));
}

void drawJack(QPainter &painter, QPointF centre, const QColor &colour)
{
    painter.setPen(QPen(colour.darker(150), 4));
    painter.setBrush(colour);
    painter.drawEllipse(centre, kJackRing, kJackRing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x55, 0x5b, 0x61));
    painter.drawEllipse(centre, 32, 32);
    painter.setBrush(Qt::black);
    painter.drawEllipse(centre, 18, 18);
}

/// `text` in a band above (`above`) or below the plate, centred on the jack as far as the
/// picture allows, with a leader line in the jack's colour from the jack's ring to the text.
void drawLabel(QPainter &painter,
               const QString &text,
               QPointF jack,
               const QColor &colour,
               bool above,
               const QFont &font)
{
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(text);
    const qreal pictureWidth = kNaturalSize.width();
    const qreal left =
        std::clamp(jack.x() - width / 2, kLabelMargin, pictureWidth - kLabelMargin - width);
    const qreal bandTop = above ? 40 : kPlate.bottom() + 50;
    const QRectF box(left, bandTop, width, metrics.height());

    painter.setPen(QPen(colour.darker(120), 7, Qt::SolidLine, Qt::RoundCap));
    const qreal lineFrom = above ? jack.y() - kJackRing : jack.y() + kJackRing;
    const qreal lineTo = above ? box.bottom() + 6 : box.top() - 6;
    painter.drawLine(QPointF(jack.x(), lineFrom), QPointF(jack.x(), lineTo));
    painter.setPen(kInk);
    painter.setFont(font);
    painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
}

} // namespace

void paint(QPainter &painter,
           const QRectF &target,
           const QString &headphoneLabel,
           const QString &microphoneLabel)
{
    if (target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / kNaturalSize.width(), target.height() / kNaturalSize.height());

    drawPlate(painter);
    drawPort(painter);
    drawJack(painter, kLineInJack, kBlue);
    drawJack(painter, kHeadphoneJack, kGreen);
    drawJack(painter, kMicrophoneJack, kRed);

    // One size for both labels, small enough for the longer one to fit across the picture.
    QFont font = painter.font();
    font.setPixelSize(int(kLabelTextHeight));
    const qreal room = kNaturalSize.width() - 2 * kLabelMargin;
    const qreal widest = std::max(QFontMetricsF(font).horizontalAdvance(headphoneLabel),
                                  QFontMetricsF(font).horizontalAdvance(microphoneLabel));
    if (widest > room)
        font.setPixelSize(std::max(8, int(kLabelTextHeight * room / widest)));
    drawLabel(painter, headphoneLabel, kHeadphoneJack, kGreen, true, font);
    drawLabel(painter, microphoneLabel, kMicrophoneJack, kRed, false, font);
    painter.restore();
}

int lineHeight(int dotsPerInchY)
{
    return int(std::lround(8.0 * dotsPerInchY / 72.0));
}

int heightInLines(int language)
{
    switch (language) {
    case FR_FR:
        return 7;
    case PL_PL:
        return 8;
    default:
        return 10;
    }
}

QRect placement(const QRect &textRect, int dialogWidth, int lineHeight, int language)
{
    const double availableWidth = std::max(0, textRect.width() - 50);
    const double availableHeight = double(heightInLines(language)) * lineHeight;
    const double scale =
        std::min(availableWidth / kNaturalSize.width(), availableHeight / kNaturalSize.height());
    const int width = int(std::lround(kNaturalSize.width() * scale));
    const int height = int(std::lround(kNaturalSize.height() * scale));
    const int top = textRect.top() + int(std::lround(7.5 * lineHeight));
    return QRect((dialogWidth - width) / 2, top, width, height);
}

} // namespace orva::SoundCardPicture
