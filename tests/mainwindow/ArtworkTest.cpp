// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QTest>

using namespace orva;

class ArtworkTest : public QObject
{
    Q_OBJECT

private slots:
    void everyBitmapIsDrawnInItsSize_data();
    void everyBitmapIsDrawnInItsSize();
    void unknownBitmapsAreNull();
};

void ArtworkTest::everyBitmapIsDrawnInItsSize_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");
    QTest::newRow("icon") << Artwork::kIcon << QSize(64, 64);
    QTest::newRow("logo") << Artwork::kLogo << QSize(250, 64);
    QTest::newRow("set-up picture") << Artwork::kSoundSetup << QSize(240, 160);
    QTest::newRow("splash") << Artwork::kSplash << QSize(600, 400);
}

void ArtworkTest::everyBitmapIsDrawnInItsSize()
{
    QFETCH(int, id);
    QFETCH(QSize, size);
    const QImage image = Artwork::render(id);
    QCOMPARE(image.size(), size);
    // Drawn, not blank: the centre row holds more than one colour.
    QSet<QRgb> colours;
    for (int x = 0; x < image.width(); ++x)
        colours.insert(image.pixel(x, image.height() / 2));
    QVERIFY2(colours.size() > 2, qPrintable(QString::number(colours.size())));
    QDir().mkpath(QStringLiteral("artefacts"));
    image.save(QStringLiteral("artefacts/bitmap-%1.png").arg(id));
    QCOMPARE(Artwork::render(id, size * 2).size(), size * 2);
}

void ArtworkTest::unknownBitmapsAreNull()
{
    QVERIFY(Artwork::render(4711).isNull());
    QVERIFY(!Artwork::naturalSize(4711).isValid());
}

QTEST_MAIN(ArtworkTest)
#include "ArtworkTest.moc"
