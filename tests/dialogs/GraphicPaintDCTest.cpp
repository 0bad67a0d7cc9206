// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/GraphicPaintDC.h"

#include "report/DrawingSurface.h"
#include "report/Palette.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

using namespace orva;

class GraphicPaintDCTest : public QObject
{
    Q_OBJECT

private slots:
    void selfPaintingAreaPaintsThroughItsBackBuffer();

private:
    Palette m_palette { QApplication::palette() };
};

void GraphicPaintDCTest::selfPaintingAreaPaintsThroughItsBackBuffer()
{
    struct Area : GraphicPaintDC
    {
        using GraphicPaintDC::GraphicPaintDC;
        void paint(DrawingSurface &surface) override
        {
            ++paints;
            surface.fillRect(Palette::green(1), false, false, surface.rect());
        }
        int paints = 0;
    };
    QWidget parent;
    parent.resize(200, 200);
    Area area(m_palette);
    area.setRect(10, 20, 50, 40);
    QWidget *window = area.create(&parent, 1001, 260, false);
    QCOMPARE(window->geometry(), QRect(10, 20, 50, 40));
    QCOMPARE(area.toolTipId(), 260);
    const QImage painted = window->grab().toImage();
    QVERIFY(area.paints >= 1);
    QCOMPARE(painted.pixelColor(25, 20), QColor(0, 255, 0));
    area.setRect(0, 0, 80, 30);
    area.move();
    QCOMPARE(window->geometry(), QRect(0, 0, 80, 30));
    QCOMPARE(area.backBuffer()->size(), QSize(80, 30));
}

QTEST_MAIN(GraphicPaintDCTest)
#include "GraphicPaintDCTest.moc"
