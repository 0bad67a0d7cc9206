// SPDX-License-Identifier: GPL-3.0-or-later
// Saves what the X display shows as a PNG file: orva_screenshot <file.png>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: orva_screenshot <file.png>\n";
        return 2;
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) {
        QTextStream(stderr) << "orva_screenshot: cannot grab the screen into " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
