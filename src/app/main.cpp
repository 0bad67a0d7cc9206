// SPDX-License-Identifier: GPL-3.0-or-later
// ORVA: screening and training of speech-sound discrimination.
#include "audio/AudioSession.h"
#include "audio/backends/FileAudio.h"
#include "mainwindow/Artwork.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowContent.h"
#include "mainwindow/QtMessageBoxes.h"
#include "support/Clock.h"
#include "support/ErrorReport.h"
#include "support/Logger.h"
#include "support/ProgramVersion.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORVA"));
    QApplication::setWindowIcon(QPixmap::fromImage(orva::Artwork::render(orva::Artwork::kIcon)));

    orva::SteadyClock clock;
    orva::QtMessageBoxes boxes;
    int exitCode = 0;
    // The sound of the session; the main object's capture reads its input, so it lives longer.
    orva::AudioSession audio(clock);
    {
        orva::StartupOptions options;
        // Log lines go to stderr too when asked for, as a debugger output would show them.
        options.logToStderr = qEnvironmentVariableIsSet("ORVA_LOG_STDERR");
        orva::MainWindowContent content(options, clock, boxes);
        orva::setErrorBoxes(&boxes);
        audio.setOutput(orva::makeAudioOutput(content.audioOutputSetting(), clock));
        audio.setInput(orva::makeAudioInput(content.audioInputSetting(), clock));
        audio.setMessageBoxes(&boxes);
        orva::AudioSession::setCurrent(&audio);
        content.setAudioSession(&audio);
        orva::logMessage(7, "START WinMain\n");
        orva::MainWindow window(content, content.strings());
        window.setWindowTitle(
            QStringLiteral("%1 %2").arg(content.strings().text(272), orva::ProgramVersion::text()));
        window.resize(800, 600);
        if (!content.onCreate(&window)) {
            exitCode = content.exitCode();
        } else {
            boxes.setOwner(&window);
            // Without a window manager a maximised window keeps its size; fill the screen.
            if (const QScreen *screen = window.screen())
                window.setGeometry(screen->availableGeometry());
            window.showMaximized();
            content.onShown();
            orva::logMessage(7, "WinMain : Start MessageLoop\n");
            exitCode = QApplication::exec();
        }
        orva::setErrorBoxes(nullptr);
    }
    audio.stopDevices();
    return exitCode;
}
