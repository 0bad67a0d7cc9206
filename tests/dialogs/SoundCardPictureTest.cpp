// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/SoundCardPicture.h"

#include "support/Languages.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace orva;

namespace {

/// The picture drawn at its own size on white, with two labels.
QImage drawn(const QString &headphones, const QString &microphone)
{
    QImage image(SoundCardPicture::kNaturalSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    SoundCardPicture::paint(painter, QRectF(image.rect()), headphones, microphone);
    painter.end();
    return image;
}

/// Pixels as dark as the labels' ink in `area` of `image`; the coloured leader lines are lighter.
int inkIn(const QImage &image, const QRect &area)
{
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            ink += qGray(image.pixel(x, y)) < 70 ? 1 : 0;
    }
    return ink;
}

} // namespace

/// The step-1 picture: where it goes in the dialog, and that its sockets are the right colours
/// with their labels beside them.
class SoundCardPictureTest : public QObject
{
    Q_OBJECT

private slots:
    void placementFollowsTheLanguagesRoom_data();
    void placementFollowsTheLanguagesRoom();
    void lineHeightIsEightPointsRounded();
    void headphoneSocketIsGreenAndMicrophoneSocketRed();
    void labelsSitAboveAndBelowThePlate();
    void aVeryLongLabelStaysInsideThePicture();
};

void SoundCardPictureTest::placementFollowsTheLanguagesRoom_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QRect>("expected");
    // A step text at (37, 11) 413 × 322 in a dialog 485 pixels wide, lines of 11 pixels: the
    // width allows 363 / 1606; the height 110 / 527 (German), 77 / 527 (French), 88 / 527
    // (Polish), each the smaller scale. Top: 11 + 82.5 rounded = 94.
    // German: scale 110/527 = 0.20873 -> 335 × 110, left (485 - 335) / 2 = 75.
    QTest::newRow("German") << int(DE_DE) << QRect(75, 94, 335, 110);
    QTest::newRow("Spanish") << int(ES_ES) << QRect(75, 94, 335, 110);
    // French: 77/527 = 0.14611 -> 235 × 77, left 125.
    QTest::newRow("French") << int(FR_FR) << QRect(125, 94, 235, 77);
    // Polish: 88/527 = 0.16698 -> 268 × 88, left 108.
    QTest::newRow("Polish") << int(PL_PL) << QRect(108, 94, 268, 88);
}

void SoundCardPictureTest::placementFollowsTheLanguagesRoom()
{
    QFETCH(int, language);
    QFETCH(QRect, expected);
    QCOMPARE(SoundCardPicture::placement(QRect(37, 11, 413, 322), 485, 11, language), expected);
}

void SoundCardPictureTest::lineHeightIsEightPointsRounded()
{
    QCOMPARE(SoundCardPicture::lineHeight(96), 11); // 10.67
    QCOMPARE(SoundCardPicture::lineHeight(72), 8);
    QCOMPARE(SoundCardPicture::lineHeight(120), 13); // 13.33
    QCOMPARE(SoundCardPicture::lineHeight(117), 13); // 13.0
}

void SoundCardPictureTest::headphoneSocketIsGreenAndMicrophoneSocketRed()
{
    const QImage image = drawn(QStringLiteral("Kopfhörer"), QStringLiteral("Mikrofon"));
    // On the coloured ring, between the dark bezel and the ring's edge.
    const QColor green = image.pixelColor(SoundCardPicture::kHeadphoneJack + QPoint(47, 0));
    const QColor red = image.pixelColor(SoundCardPicture::kMicrophoneJack + QPoint(47, 0));
    QVERIFY2(green.green() > green.red() + 60 && green.green() > green.blue() + 60,
             qPrintable(green.name()));
    QVERIFY2(red.red() > red.green() + 60 && red.red() > red.blue() + 60, qPrintable(red.name()));
    // The jack's hole is dark.
    QVERIFY(qGray(image.pixel(SoundCardPicture::kHeadphoneJack)) < 60);
}

void SoundCardPictureTest::labelsSitAboveAndBelowThePlate()
{
    const QImage blank = drawn(QString(), QString());
    const QImage labelled = drawn(QStringLiteral("Kopfhörer-Anschluss (grüne Buchse)"),
                                  QStringLiteral("Mikrofon-Anschluss (rote Buchse)"));
    const QRect above(0, 0, SoundCardPicture::kNaturalSize.width(), 150);
    const QRect below(0, 450, SoundCardPicture::kNaturalSize.width(), 77);
    QCOMPARE(inkIn(blank, above), 0);
    QCOMPARE(inkIn(blank, below), 0);
    QVERIFY(inkIn(labelled, above) > 500);
    QVERIFY(inkIn(labelled, below) > 500);
}

void SoundCardPictureTest::aVeryLongLabelStaysInsideThePicture()
{
    const QString longLabel(200, QLatin1Char('W'));
    // Drawn into the middle of a wider image: no ink may fall outside the picture's own area.
    QImage image(SoundCardPicture::kNaturalSize + QSize(400, 0), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    SoundCardPicture::paint(painter,
                            QRectF(QPointF(200, 0), QSizeF(SoundCardPicture::kNaturalSize)),
                            longLabel, QStringLiteral("Mikrofon"));
    painter.end();
    QCOMPARE(inkIn(image, QRect(0, 0, 200, image.height())), 0);
    QCOMPARE(inkIn(image, QRect(image.width() - 200, 0, 200, image.height())), 0);
    QVERIFY(inkIn(image, QRect(200, 0, SoundCardPicture::kNaturalSize.width(), 150)) > 200);
}

QTEST_MAIN(SoundCardPictureTest)
#include "SoundCardPictureTest.moc"
