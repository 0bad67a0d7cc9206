// SPDX-License-Identifier: GPL-3.0-or-later
// ORVA: screening and training of speech-sound discrimination.
#include "SoundDevices.h"
#include "audio/AudioSession.h"
#include "dialogs/QtDialogRunner.h"
#include "mainwindow/Artwork.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowContent.h"
#include "report/PrinterChooser.h"
#include "support/Clock.h"
#include "support/Logger.h"
#include "support/ProgramVersion.h"
#include "support/TerminationSignals.h"
#include "support/TextIds.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>

#include <optional>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORVA"));
    QApplication::setWindowIcon(QPixmap::fromImage(orva::Artwork::render(orva::Artwork::kIcon)));

    orva::SteadyClock clock;
    // Every modal dialog and message box of the program runs through this one.
    orva::QtDialogRunner dialogs;
    orva::QtMessageBoxes &boxes = dialogs.boxes();
    int exitCode = 0;
    // The sound of the session; the main object's capture reads its input, so it lives longer.
    orva::AudioSession audio(clock);
    {
        orva::StartupOptions options;
        // Log lines go to stderr too when asked for, as a debugger output would show them.
        options.logToStderr = qEnvironmentVariableIsSet("ORVA_LOG_STDERR");
        options.dialogRunner = &dialogs;
        // Printouts go to this PDF file instead of the print dialog: for tests of the real
        // window, which cannot answer the desktop's dialog.
        const QString printFile = qEnvironmentVariable("ORVA_PRINT_TO_PDF");
        std::optional<orva::PdfPrinterChooser> pdfPrinter;
        if (!printFile.isEmpty())
            options.printers = &pdfPrinter.emplace(printFile);
        orva::MainWindowContent content(options, clock, dialogs);
        orva::SoundDevices devices(clock);
        audio.setOutput(devices.output(content.audioOutputSetting()));
        audio.setInput(devices.input(content.audioInputSetting()));
        audio.setMessageBoxes(&boxes);
        orva::AudioSession::setCurrent(&audio);
        content.setAudioSession(&audio);
        // The output runs from here to the end like the capture, so that its clock model has
        // settled long before the first syllable and that syllable is timed like every other.
        // When it does not start now, the first player tries again with its attempts and box.
        (void)audio.startOutput();
        orva::logMessage(7, "START WinMain\n");
        orva::MainWindow window(content, content.strings());
        window.setWindowTitle(QStringLiteral("%1 %2").arg(
            content.strings().text(orva::Text::kProgramName), orva::ProgramVersion::text()));
        window.resize(800, 600);
        if (!content.onCreate(&window)) {
            exitCode = content.exitCode();
        } else {
            boxes.setOwner(&window);
            // Without a window manager a maximised window keeps its size; fill the screen.
            if (const QScreen *screen = window.screen())
                window.setGeometry(screen->availableGeometry());
            window.showMaximized();
            // Log-out and shutdown end the program with a signal; what it holds is kept first.
            orva::TerminationSignals termination([&](int) {
                boxes.setQuiet(true);
                content.onTerminate();
                QApplication::exit(0);
            });
            content.onShown();
            orva::logMessage(7, "WinMain : Start MessageLoop\n");
            exitCode = QApplication::exec();
            // The chosen update starts as the main object ends, after the settings are written.
            boxes.setOwner(nullptr);
        }
    }
    audio.stopDevices();
    return exitCode;
}
