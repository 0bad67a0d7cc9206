// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/CPaintBitmap.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace orva;

class CPaintBitmapTest : public QObject
{
    Q_OBJECT

private slots:
    void takesTheSizeOfItsWindow();
    void blitCopiesTheBitmapToItsAreaOnly();
    void blitCopiesNoMoreThanTheArea();
    void paintingIsInvisibleUntilTheBlit();
};

namespace {

QImage white(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The bounding box of the pixels of `colour`; null when there are none.
QRect areaOf(const QImage &image, const QColor &colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

} // namespace

void CPaintBitmapTest::takesTheSizeOfItsWindow()
{
    CPaintBitmap bitmap;
    const QImage window = white(40, 30);
    QVERIFY(bitmap.create(&window));
    QCOMPARE(bitmap.size(), QSize(40, 30));
    // A window of no size (not laid out yet) still gets a bitmap to paint on.
    const QImage none;
    QVERIFY(bitmap.create(&none));
    QCOMPARE(bitmap.size(), QSize(1, 1));
    QVERIFY(bitmap.create(nullptr));
    QVERIFY(!bitmap.isNull());
}

void CPaintBitmapTest::blitCopiesTheBitmapToItsAreaOnly()
{
    QImage target = white(100, 100);
    const QImage window = white(40, 30);
    CPaintBitmap bitmap;
    QVERIFY(bitmap.create(&window));
    QPainter painter(&target);
    QPainter *memory = bitmap.begin(&painter);
    QVERIFY(memory != nullptr);
    memory->fillRect(QRect(0, 0, 40, 30), Qt::red);
    bitmap.blit(QRect(10, 20, 40, 30));
    bitmap.end();
    painter.end();
    QCOMPARE(areaOf(target, Qt::red), QRect(10, 20, 40, 30));
}

void CPaintBitmapTest::blitCopiesNoMoreThanTheArea()
{
    QImage target = white(100, 100);
    const QImage window = white(40, 30);
    CPaintBitmap bitmap;
    QVERIFY(bitmap.create(&window));
    QPainter painter(&target);
    QPainter *memory = bitmap.begin(&painter);
    memory->fillRect(QRect(0, 0, 40, 30), Qt::blue);
    bitmap.blit(QRect(50, 50, 20, 10));
    bitmap.end();
    painter.end();
    QCOMPARE(areaOf(target, Qt::blue), QRect(50, 50, 20, 10));
}

void CPaintBitmapTest::paintingIsInvisibleUntilTheBlit()
{
    QImage target = white(60, 60);
    const QImage window = white(60, 60);
    CPaintBitmap bitmap;
    QVERIFY(bitmap.create(&window));
    QPainter painter(&target);
    QPainter *memory = bitmap.begin(&painter);
    memory->fillRect(QRect(0, 0, 60, 60), Qt::green);
    QVERIFY(areaOf(target, Qt::green).isNull()); // nothing flickers onto the window yet
    bitmap.blit(QRect(0, 0, 60, 60));
    bitmap.end();
    painter.end();
    QCOMPARE(areaOf(target, Qt::green), QRect(0, 0, 60, 60));
}

QTEST_MAIN(CPaintBitmapTest)
#include "CPaintBitmapTest.moc"
