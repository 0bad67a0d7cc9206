// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "engine/RunControllerOutput.h"
#include "mainwindow/CommandRules.h"
#include "mainwindow/MainWindowLayout.h"
#include "mainwindow/PaintOrder.h"
#include "mainwindow/PanelPainters.h"
#include "records/ClientFiles.h"
#include "records/ClientList.h"
#include "records/DataFolderLock.h"
#include "records/InstallationLayout.h"
#include "records/Registry.h"
#include "records/Settings.h"
#include "support/CToolTip.h"
#include "support/StringTable.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QUrl>

#include <map>
#include <memory>

class QCheckBox;
class QKeyEvent;
class QLineEdit;
class QPainter;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QSlider;
class QWidget;

namespace orva {

class AudioSession;
class Clock;
class MainWindow;
class ORVA_WaveInDevice;
class MessageBoxes;
class PanelDC;
class Palette;
class TimerHost;
class TimerService;

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
    /// Opens a help page; the desktop's browser when empty.
    std::function<bool(const QUrl &page)> openHelp;
};

/// The one object behind the main window: it owns the run model, the run controller, the
/// settings, every child window and panel, the tool tip and the timers, and it handles every
/// command, key, timer and audio message of the main window. UI thread only.
class MainWindowContent final : public RunControllerOutput, private CToolTip::Host
{
public:
    static constexpr int kLevelMeterTimer = 1014;
    static constexpr int kHearingCheckTimer = 1154;
    static constexpr int kUpdateTimer = 1229;

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
    /// Keys reach this first, from the main window and from the fields; true when consumed.
    /// Tab and Shift+Tab: the next entry field of the program's own order (last name, first name,
    /// birthday, threshold, comment), from wherever the focus is.
    void moveFocus(bool backwards);
    bool translateAccelerator(QKeyEvent *event);
    /// A key the key map left to the field `field`: the name filters and the birthday mask.
    /// True when the field must not see it.
    bool fieldKeyPress(QObject *field, QKeyEvent *event);
    void onSize(int width, int height);
    /// The main window's own parts: captions, axis and count strip.
    void onPaint(QPainter &painter);
    /// The close request; true when the window may close. A run still going is aborted first, so
    /// that its entries so far reach the user log.
    bool onExit();
    /// The desktop ends the program (log-out, shutdown): nobody answers questions any more. A
    /// run still going is aborted, an unsaved run is kept in unsavedRunPath() for the next start,
    /// the own lists are written; the settings follow at the end as always.
    void onTerminate();
    /// Where an unsaved run waits for the next start after the program was ended from outside.
    QString unsavedRunPath() const;
    void onTimer(int id);
    void onMouseMove(QPoint screen, QPoint owner);
    void onMouseClick();
    /// A voice onset at `onsetUs` on the program clock.
    void onAudioInput(qint64 onsetUs);
    /// The instruction, hearing check or wizard ended.
    void onAudioEnd();

    // RunControllerOutput
    std::optional<qint64> play(ORVA_Wave &wave) override;
    std::optional<qint64> playAt(ORVA_Wave &wave, qint64 startUs) override;
    void setTimer(int id, int ms) override;
    void stopTimer(int id) override;
    void enableButton(RunButton button, bool enabled) override;
    void focusMainWindow() override;
    void repaint(Panels panels) override;
    void removeResultToolTips() override;
    void addResultToolTip(int measurement) override;
    void computePaintOrder() override;
    void windowSettings() override;
    void menuSettings() override;
    void layoutMainWindow() override;
    void leaveReportViewAndGuide() override;
    bool isTrainingReportShown() const override { return m_reportView; }
    void showMainView() override;
    void showFirstRunHelp() override;
    bool saveRun() override;
    qint64 audioGlitchCount() const override;
    QString soundProblem() override;
    bool isSoundSettled() const override;
    bool isListening() const override;
    void commentAppended(const QString &note) override;

    /// The sound session whose input the capture reads (not owned; it must outlive this).
    void setAudioSession(AudioSession *session) { m_audio = session; }
    /// The installation values "AudioOutput" and "AudioInput" ("system" when missing).
    const QString &audioOutputSetting() const { return m_audioOutputSetting; }
    const QString &audioInputSetting() const { return m_audioInputSetting; }
    ORVA_WaveInDevice &capture() { return *m_capture; }

    // File commands
    void onFileNew();
    bool onFileSave();
    bool onFileSaveAs();
    void onFilePrint();
    void showReport();
    /// Rebuilds the client list from the run files of the material language.
    void getProbandList();
    /// The help of the user-interface language in the desktop's browser; false when it is missing.
    bool onHelp();
    const ClientList &clientList() const { return m_clients; }

    /// The language change: material, client list, fields and enabling rules.
    void changeLanguage(int materialLanguage);
    /// `Reset GUI`: refills every field from the run model.
    void resetGui(bool resetClient);

    ORVA_Experiment &experiment() { return m_experiment; }
    RunController &controller() { return *m_controller; }
    Settings &settings() { return m_settings; }
    const StringTable &strings() const { return m_strings; }
    const MainWindowLayout &layout() const { return m_layout; }
    int userInterfaceLanguage() const { return m_uiLanguage; }
    const QString &baseDirectory() const { return m_baseDirectory; }
    int startupProblem() const { return m_startupProblem; }
    bool isGuideShown() const { return m_guide; }
    /// The child window with `id` (panels by their id; the axis and count strip have none).
    QWidget *child(int id) const;
    std::map<int, bool> menuEnabling() const;

private:
    void openLog();
    /// False, after telling the operator, when another running program holds the data folder.
    bool lockDataFolder();
    /// Stops the level meter, the wait timer and the hearing check's timer: the program ends.
    void stopOwnTimers();
    /// Names the recordings of the material that the player cannot play, in a box.
    void reportUnplayableRecordings();
    /// Asks whether a run kept by onTerminate() is to be opened, and opens it.
    void offerUnsavedRun();
    /// The client record's names, birthday and the run's comment into their fields.
    void showClientInFields();
    void readInstallation();
    /// Where the files go for this installation and user, and the guard of the data folders.
    void applyLayout();
    void createFonts();
    void createSubWindows();
    QWidget *
    addPanel(int id, int toolTip, bool framed, std::function<void(DrawingSurface &)> painter);
    void moveChildren();
    void applyWindowSettings();
    CommandState commandState() const;
    int uiLanguageFromCode(const QString &code) const;
    void storeComment();
    bool isRunning() const;
    void showError(int text);
    /// Writes the run to `path`; error 138 when that fails.
    bool writeRun(const QString &path);
    ClientFiles::Run runForFileName() const;
    void onNameEdited(bool firstName, const QString &text);
    bool askToSaveUnsaved();
    PanelState panelState() const;
    QRect barToolTipRect(int measurement) const;

    // CToolTip::Host
    void showBox(const QRect &rect, const QString &text) override;
    void hideBox() override;
    bool isActive() const override;
    QRect ownerRect() const override;
    QRect desktopRect() const override;
    int charHeight() const override;
    int averageCharWidth() const override;

    StartupOptions m_options;
    const Clock &m_clock;
    MessageBoxes &m_boxes;
    MessageBoxes *m_previousErrorBoxes = nullptr; ///< restored at the end
    ORVA_Experiment m_experiment;
    StringTable m_strings;
    Settings m_settings;
    InstallationLayout m_installationLayout;
    std::unique_ptr<RunController> m_controller;
    std::unique_ptr<Palette> m_palette;
    std::unique_ptr<TimerHost> m_timerHost;
    TimerService *m_timers = nullptr; ///< the host's, or the one of the start-up options
    std::unique_ptr<CToolTip> m_toolTip;
    QPointer<MainWindow> m_window;
    MainWindowLayout m_layout;
    PaintOrder m_paintOrder;

    QString m_baseDirectory;
    QString m_trueUpdateDir;
    QString m_audioOutputSetting = QStringLiteral("system");
    QString m_audioInputSetting = QStringLiteral("system");
    AudioSession *m_audio = nullptr;
    std::unique_ptr<ORVA_WaveInDevice> m_capture;
    int m_uiLanguage = 0;
    int m_startupProblem = 0;
    int m_exitCode = 0;
    bool m_installationComplete = false;
    bool m_guide = true;
    bool m_reportView = false;
    bool m_isInput = false;
    bool m_writesSettings = true; ///< false when another program holds the data folder
    double m_inputPeak = 0;
    QString m_modelessDialog;

    QFont m_normalFont;
    QFont m_largeFont;
    QFont m_mediumFont;
    QImage m_logo;
    ClientList m_clients;
    DataFolderLock m_dataLock; ///< taken in onCreate, held to the end

    // Child windows (owned by the main window's canvas) and panels
    std::map<int, std::unique_ptr<PanelDC>> m_panels;
    QPointer<QPushButton> m_wrongButton;
    QPointer<QPushButton> m_rejectButton;
    QPointer<QPushButton> m_abortButton;
    QPointer<QPushButton> m_printButton;
    QPointer<QCheckBox> m_showTests;
    QPointer<QCheckBox> m_showSyllables;
    QPointer<QLineEdit> m_firstName;
    QPointer<QLineEdit> m_lastName;
    QPointer<QLineEdit> m_birthday;
    QPointer<QPlainTextEdit> m_comment;
    QPointer<QSlider> m_slider;
    QPointer<QScrollBar> m_reportScrollBar;
    QPointer<QWidget> m_toolTipBox;
};

} // namespace orva
