// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Logger.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    orva::Logger::instance().start(orva::Logger::Options());
    orva::logMessage(1, "BEGIN: ORVA\n");
    QLabel window(QStringLiteral("ORVA"));
    window.setWindowTitle(QStringLiteral("ORVA"));
    window.resize(790, 550);
    window.show();
    const int result = app.exec();
    orva::logMessage(1, "END: ORVA\n");
    orva::Logger::instance().close();
    return result;
}
