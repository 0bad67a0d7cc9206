// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ORVA_Experiment.h"
#include "engine/ProgramData.h"
#include "engine/RunController.h"
#include "engine/RunControllerOutput.h"
#include "engine/RunFileCommands.h"
#include "engine/RunSound.h"
#include "mainwindow/ChildWindows.h"
#include "mainwindow/ClientFields.h"
#include "mainwindow/CommandRules.h"
#include "mainwindow/DialogCommands.h"
#include "mainwindow/MainView.h"
#include "mainwindow/PrintCommands.h"
#include "mainwindow/TimerHost.h"
#include "records/ClientList.h"
#include "records/DataFolderLock.h"
#include "records/Registry.h"
#include "records/Settings.h"
#include "records/StartupData.h"
#include "update/UpdateManager.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QUrl>

#include <map>
#include <memory>

class QKeyEvent;
class QPainter;
class QWidget;

namespace orva {

class AudioSession;
class DesktopDialogs;
class DialogLauncher;
class DialogRunner;
class ExternalPrograms;
class Clock;
class MainWindow;
class MessageBoxes;
class Palette;

/// What the start-up takes from outside; tests replace the parts they control.
struct StartupOptions
{
    /// The folder the program was started in; the installation is its parent.
    QString currentDirectory;
    Registry::Locations registry = Registry::defaultLocations();
    /// Log lines also go to stderr.
    bool logToStderr = false;
    /// Where the diagnostic log goes (the current directory's "log.txt" by default).
    QString logFile;
    /// Timers to use instead of the event loop's (tests drive them on a manual clock); the
    /// expiries must come back through MainWindowContent::onTimer.
    TimerService *timers = nullptr;
    /// Asks for the path of "save under a name": the folder, the proposed file name, the title
    /// and the filters; an empty answer cancels. The desktop's save-file dialog when empty.
    std::function<QString(const QString &folder,
                          const QString &proposed,
                          const QString &title,
                          const QString &filters)>
        chooseSavePath;
    /// Runs the dialogs and boxes (the main object's own over the window when null).
    DialogRunner *dialogRunner = nullptr;
    /// The dialogs and the programs outside (the desktop's when null; tests fake them).
    DialogLauncher *dialogs = nullptr;
    ExternalPrograms *programs = nullptr;
    /// Where printouts go (the desktop's print dialog when null).
    PrinterChooser *printers = nullptr;
};

/// The object behind the main window, where its commands, keys, timers and audio messages
/// arrive. It owns the run model, the run controller and the settings, and hands the work to
/// the parts that do it: the child windows and client fields, the tool tip, the file commands.
/// UI thread only.
class MainWindowContent final : public RunControllerOutput,
                                private RunFileView,
                                private DialogCommands::View,
                                private UpdateManager::Host
{
public:
    static constexpr int kLevelMeterTimer = 1014;
    static constexpr int kHearingCheckTimer = 1154;
    static constexpr int kUpdateTimer = UpdateManager::kTimerId;

    /// Opens the log, reads the installation values and the settings and loads the material.
    MainWindowContent(StartupOptions options, const Clock &clock, MessageBoxes &boxes);
    /// Writes the settings and closes the log.
    ~MainWindowContent() override;

    /// The window's creation: splash screen, material checks, child windows and timers.
    /// False when the program must end; exitCode() says with which code.
    bool onCreate(MainWindow *window);
    /// After the window is shown: capture starts and the program is ready.
    void onShown();
    int exitCode() const { return m_exitCode; }

    // Messages of the main window
    void onCommand(int command);
    /// Tab and Shift+Tab: the next entry field of the program's own order.
    void moveFocus(bool backwards)
    {
        m_fields->moveFocus(backwards, m_view ? m_view->slider() : nullptr);
    }
    /// Keys reach this first, from the main window and from the fields; true when consumed.
    bool translateAccelerator(QKeyEvent *event);
    /// A key the key map left to the field `field`; true when the field must not see it.
    bool fieldKeyPress(QObject *field, QKeyEvent *event)
    {
        return m_fields->keyPress(field, event, startup().uiLanguage);
    }
    void onSize(int width, int height)
    {
        if (m_view)
            m_view->onSize(width, height);
    }
    /// The main window's own parts: captions, axis and count strip.
    void onPaint(QPainter &painter)
    {
        if (m_view)
            m_view->onPaint(painter);
    }
    /// The close request; true when the window may close. A run still going is aborted first, so
    /// that its entries so far reach the user log.
    bool onExit();
    /// The desktop ends the program (log-out, shutdown): nobody answers questions any more. A
    /// run still going is aborted, an unsaved run is kept in unsavedRunPath() for the next start,
    /// the own lists are written; the settings follow at the end as always.
    void onTerminate();
    /// The update the operator chose to install: started at the end, after the settings.
    UpdateManager::Patch patchToStart() const { return m_update->patchToStart(); }
    /// Where an unsaved run waits for the next start after the program was ended from outside.
    QString unsavedRunPath() const { return m_files->unsavedRunPath(); }
    void onTimer(int id);
    void onMouseMove(QPoint screen, QPoint owner)
    {
        if (m_view)
            m_view->toolTips().mouseMove(screen, owner);
    }
    void onMouseClick()
    {
        if (m_view)
            m_view->toolTips().mouseClick();
    }
    /// A voice onset at `onsetUs` on the program clock.
    void onAudioInput(qint64 onsetUs) { m_controller->onAudioInput(onsetUs); }
    /// The instruction, hearing check or wizard ended.
    void onAudioEnd() override;

    // RunControllerOutput
    std::optional<qint64> play(ORVA_Wave &wave) override { return m_sound->play(wave); }
    std::optional<qint64> playAt(ORVA_Wave &wave, qint64 startUs) override
    {
        return m_sound->playAt(wave, startUs);
    }
    bool isSoundSettled() const override { return m_sound->isSettled(); }
    bool isListening() const override { return m_sound->isListening(); }
    // RunControllerOutput and UpdateManager::Host
    void setTimer(int id, int ms) override
    {
        if (m_timers)
            m_timers->setTimer(id, ms);
    }
    void stopTimer(int id) override
    {
        if (m_timers)
            m_timers->stopTimer(id);
    }
    bool saveRun() override { return m_files->save(); }
    qint64 audioGlitchCount() const override { return m_sound->glitchCount(); }
    std::optional<qint64> heardUntilUs() const override { return m_sound->heardUntilUs(); }
    QString soundProblem() override
    {
        return m_sound->problem(strings(), audioOutputSetting(), audioInputSetting());
    }
    QString soundWarning() const override { return m_sound->latencyWarning(strings()); }
    QString runNote() const override { return m_sound->latencyNote(strings()); }

    /// The sound session whose input the capture reads (not owned; it must outlive this).
    void setAudioSession(AudioSession *session) { m_sound->setSession(session); }
    const QString &audioOutputSetting() const { return startup().audioOutputSetting; }
    const QString &audioInputSetting() const { return startup().audioInputSetting; }

    const ClientList &clientList() const { return m_clients; }
    ORVA_Experiment &experiment() { return m_data->experiment(); }
    const ORVA_Experiment &experiment() const { return m_data->experiment(); }
    RunController &controller() { return *m_controller; }
    Settings &settings() { return m_data->settings(); }
    const StringTable &strings() const { return m_data->strings(); }
    const MainWindowLayout &layout() const { return m_view->layout(); }
    int userInterfaceLanguage() const { return startup().uiLanguage; }
    const QString &baseDirectory() const { return startup().baseDirectory; }
    bool isGuideShown() const { return !m_view || m_view->isGuideShown(); }
    bool isTrainingReportShown() const { return m_view && m_view->isReportView(); }
    /// The menu's enabling rules for the current state.
    void menuSettings() override
    {
        if (m_view)
            m_view->menuSettings();
    }
    /// The child window with `id` (panels by their id; the axis and count strip have none).
    QWidget *child(int id) const { return m_view ? m_view->child(id) : m_fields->field(id); }

private:
    /// Stops the level meter, the wait timer and the hearing check's timer: the program ends.
    void stopOwnTimers();
    // UpdateManager::Host
    bool startUpdateProgram(const QString &folder) override;
    bool closeProgram() override;
    /// The child windows, the entry fields and the tool tips, told of the run's events.
    void createView();
    void showReport();
    /// The dialogs, their runner and the programs outside, the desktop's unless injected.
    void createDialogs();
    // DialogCommands::View
    void changeLanguage(int language) override;
    void dataFolderChanged() override;
    QString commandText(int command) const override;
    void focusMainWindow() override
    {
        if (m_view)
            m_view->focusMainWindow();
    }

    /// Rebuilds the client list from the run files of the material language.
    void getProbandList() { m_data->readClientList(m_clients); }
    const StartupData &startup() const { return m_data->startup(); }

    // RunFileView
    void storeComment() override { m_fields->storeComment(); }
    void showClient() override;
    /// Settings > latency self-test, or its button at the wizard's end: its window over the
    /// session's sound, when nothing else runs but the wizard it came from.
    void runLatencyTest(bool fromWizard) override;
    void resetRun(bool resetClient) override;
    void runFilesChanged() override { getProbandList(); }
    void stateChanged() override;

    StartupOptions m_options;
    const Clock &m_clock;
    MessageBoxes &m_boxes;
    MessageBoxes *m_previousErrorBoxes = nullptr; ///< restored at the end
    std::unique_ptr<ProgramData> m_data;
    std::unique_ptr<RunController> m_controller;
    std::unique_ptr<RunFileCommands> m_files;
    std::unique_ptr<Palette> m_palette;
    std::unique_ptr<TimerHost> m_timerHost;
    TimerService *m_timers = nullptr; ///< the host's, or the one of the start-up options
    QPointer<MainWindow> m_window;

    std::unique_ptr<RunSound> m_sound;
    std::unique_ptr<UpdateManager> m_update;
    bool m_updateStarted = false;
    int m_exitCode = 0;
    bool m_writesSettings = true; ///< false when another program holds the data folder

    ClientList m_clients;
    DataFolderLock m_dataLock; ///< taken in onCreate, held to the end
    std::unique_ptr<ClientFields> m_fields;
    std::unique_ptr<MainView> m_view;
    std::unique_ptr<DesktopDialogs> m_desktop;
    std::unique_ptr<DialogCommands> m_dialogCommands;
    std::unique_ptr<PrintCommands> m_print;
};

} // namespace orva
