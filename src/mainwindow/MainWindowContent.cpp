// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainWindowContent.h"

#include "audio/AudioSession.h"
#include "audio/ORVA_WaveInDevice.h"
#include "engine/ScratchRunReader.h"
#include "mainwindow/Artwork.h"
#include "mainwindow/ClientFieldRules.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/PanelDC.h"
#include "mainwindow/SplashScreen.h"
#include "mainwindow/TimerHost.h"
#include "records/InstallationValues.h"
#include "records/RunFile.h"
#include "report/DrawingSurface.h"
#include "report/Palette.h"
#include "support/Clock.h"
#include "support/ErrorReport.h"
#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/ProgramVersion.h"
#include "support/SaveFailure.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>

namespace orva {

namespace {

// Child window ids of the main window.
constexpr int kAnswerTimeBarId = 1011;
constexpr int kChartId = 1012; // shares the answer-time bar's id in the window system
constexpr int kLevelMeterId = 1048;
constexpr int kSliderId = 1010;
constexpr int kRemainingId = 1017;
constexpr int kReactionTimeId = 1016;
constexpr int kCurrentSyllableId = 1015;
constexpr int kStatusLineId = 1049;
constexpr int kEvaluationId = 1022;
constexpr int kCurrentSyllablesId = 1024;
constexpr int kFirstNameId = 1027;
constexpr int kLastNameId = 1028;
constexpr int kBirthdayId = 1029;
constexpr int kRunDateId = 1030;
constexpr int kCommentId = 1031;
constexpr int kTrainingSettingsId = 1045;
constexpr int kLogoId = 1032;

constexpr int kErrorTitle = 110;
constexpr int kWarningTitle = 146;
constexpr int kMaterialMissing = 111;
constexpr int kTestMaterialMissing = 251;
constexpr int kSettingsMissing = 252;
constexpr int kNotAvailableYet = 901;
constexpr int kLinkOutOfDataFolder = 950;
constexpr int kLinkLeadsNowhere = 951;

const char *const kLanguageCodes[] = { "de_de", "en_us", "en_uk", "es_es", "fr_fr", "pl_pl" };

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

} // namespace

MainWindowContent::MainWindowContent(StartupOptions options,
                                     const Clock &clock,
                                     MessageBoxes &boxes)
    : m_options(std::move(options))
    , m_clock(clock)
    , m_boxes(boxes)
    , m_strings(StringTable::german())
{
    if (m_options.currentDirectory.isEmpty())
        m_options.currentDirectory = QDir::currentPath();
    // The recordings are read below; a damaged one is reported in its own box before the
    // start-up ends, not only in the log.
    m_previousErrorBoxes = setErrorBoxes(&m_boxes);
    openLog();
    logMessage(1, "BEGIN: Constructor MainWindowContent\n");

    // The program runs from the installation's bin folder; the installation is its parent.
    m_baseDirectory = QDir::cleanPath(m_options.currentDirectory);
    const qsizetype separator = m_baseDirectory.lastIndexOf(QLatin1Char('/'));
    if (separator > 0)
        m_baseDirectory.truncate(separator);
    readInstallation();
    applyLayout();

    m_experiment.setBaseDirectory(m_baseDirectory);
    logMessage(1, "Con MWC 10: Initial Directory %s\n", utf8(m_baseDirectory).constData());

    m_capture = std::make_unique<ORVA_WaveInDevice>(m_clock);
    m_capture->setOnsetHandler([this](qint64 onsetUs) { onAudioInput(onsetUs); });

    m_settings.setDefaults(m_baseDirectory);
    m_settings.dataDirectory = m_installationLayout.dataFolder;
    if (!m_settings.read(m_installationLayout.settingsFile))
        m_startupProblem += 2;
    m_experiment.dataPathGuard().setFolders(
        { m_installationLayout.dataFolder, m_settings.dataDirectory });
    m_experiment.client() = m_settings.client;
    QString userLog;
    if (m_experiment.createLogFileName(userLog, true) == 0)
        (void)m_experiment.userLog().loadOrSetAside(userLog); // a missing history is an empty one

    m_controller =
        std::make_unique<RunController>(m_experiment, *this, m_clock, m_boxes, m_strings);
    RunFileRules rules;
    rules.saveMode = { m_settings.preTestSaveMode, m_settings.mainTestSaveMode,
                       m_settings.trainSaveMode };
    rules.printMode = { m_settings.preTestPrintMode, m_settings.mainTestPrintMode,
                        m_settings.trainPrintMode };
    m_controller->setFileRules(rules);

    changeLanguage(m_settings.materialLanguage(m_uiLanguage));
    m_controller->setProgramState(ProgramState::Idle);
    m_controller->setRunState(RunState::Empty);
    logMessage(1, "END: Constructor MainWindowContent\n");
}

MainWindowContent::~MainWindowContent()
{
    m_capture->stopCapture();
    delete m_toolTipBox.data();
    stopOwnTimers();
    m_settings.client = m_experiment.client();
    m_settings.threshold = m_slider ? -m_slider->value() : m_settings.threshold;
    const Status written =
        m_writesSettings ? m_settings.write(m_installationLayout.settingsFile) : Status::success();
    // The window is gone by now; the box stands on its own, so the operator still learns that
    // the settings of this session were not kept.
    if (!written.ok())
        reportSaveFailure(m_boxes, m_strings, kSettingsNotSaved, written);
    setErrorBoxes(m_previousErrorBoxes);
    logMessage(1, "END: Destructor MainWindowContent\n");
    Logger::instance().close();
}

void MainWindowContent::openLog()
{
    Logger::Options log;
    log.level = 2;
    log.fileName = m_options.logFile.isEmpty() ? QStringLiteral("log.txt") : m_options.logFile;
    log.writeAtEnd = false;
    log.debuggerOutput = m_options.logToStderr;
    log.truncateAtStart = true;
    log.consoleOutput = false;
    Logger::instance().start(log);
    logMessage(1, "ORVA %2d.%0d.%02d debug %02d\n\n", ProgramVersion::kMajor,
               ProgramVersion::kMinor, ProgramVersion::kBuild, 0);
    const QDateTime now = QDateTime::currentDateTime();
    logMessage(1, "LOG %2d.%02d.%04d %02d:%02d\n\n", now.date().day(), now.date().month(),
               now.date().year(), now.time().hour(), now.time().minute());
}

int MainWindowContent::uiLanguageFromCode(const QString &code) const
{
    const QString value = code.trimmed();
    for (int i = 0; i < 6; ++i) {
        const QString candidate = QString::fromLatin1(kLanguageCodes[i]);
        logMessage(11, "Lang [%d]=:%s: <-> :%s:\n", i, utf8(value).constData(), kLanguageCodes[i]);
        if (value.compare(candidate, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

void MainWindowContent::readInstallation()
{
    const Registry registry(m_options.registry);
    const Result<InstallationValues> values = InstallationValues::read(registry);
    if (!values.ok()) {
        // Without the installation values the program runs from where it was started, with
        // the defaults, rather than half set up.
        logMessage(1,
                   QStringLiteral("Con MWC 05: %1; using the defaults and %2\n")
                       .arg(values.error(), m_baseDirectory));
        return;
    }
    m_installationComplete = true;
    for (auto [name, value] : { std::pair { "AudioOutput", &m_audioOutputSetting },
                                std::pair { "AudioInput", &m_audioInputSetting } }) {
        // Each operator may name the devices of the own headset in the user's values.
        const QString text = InstallationLayout::optionalValue(registry, name);
        if (!text.isEmpty())
            *value = text;
    }
    if (!values.value().root.isEmpty())
        m_baseDirectory = QDir::cleanPath(values.value().root);
    m_trueUpdateDir = values.value().trueUpdateDir;
    m_uiLanguage = uiLanguageFromCode(values.value().language);
    if (m_uiLanguage != 0) {
        // The texts of the user-interface language come from the installation; German is built in.
        Result<StringTable> table = StringTable::loadForLanguage(m_baseDirectory, m_uiLanguage);
        logMessage(7, "WinMain : satellitePath : %s/bin/%s/strings.txt\n",
                   utf8(m_baseDirectory).constData(), kLanguageCodes[m_uiLanguage]);
        logMessage(1, "WinMain : mark 10 : DLL loaded? %s\n",
                   table.error().isEmpty() ? "Yes" : "No");
        if (!table.error().isEmpty())
            logMessage(1, QStringLiteral("   %1\n").arg(table.error()));
        m_strings = std::move(table).value();
    }
}

void MainWindowContent::applyLayout()
{
    m_installationLayout =
        InstallationLayout::resolve(m_baseDirectory, Registry(m_options.registry));
    m_experiment.setFileLocations({ m_installationLayout.mediaFolder,
                                    m_installationLayout.dataFolder,
                                    m_installationLayout.ownListsFile });
    m_experiment.dataPathGuard().setReporter([this](const QString &path, const QString &target) {
        m_boxes.show(m_strings.text(kWarningTitle),
                     m_strings.text(kLinkOutOfDataFolder)
                         .arg(path, target.isEmpty() ? m_strings.text(kLinkLeadsNowhere) : target),
                     MessageIcon::Warning, MessageButtons::Ok);
    });
}

void MainWindowContent::changeLanguage(int materialLanguage)
{
    if (materialLanguage < 0 || materialLanguage >= NoLanguage)
        materialLanguage = m_uiLanguage;
    m_settings.expLanguage = materialLanguage;
    // Own lists live in memory until written; the lists of the outgoing language go first.
    if (m_window) {
        const Status written = m_experiment.writeUserDefinedTrainSyllableTrain();
        if (!written.ok())
            reportSaveFailure(m_boxes, m_strings, kOwnListsNotSaved, written);
    }
    m_experiment.setLanguage(materialLanguage, true, false);
    if (m_window) {
        reportUnplayableRecordings();
        getProbandList();
        resetGui(false);
        windowSettings();
        menuSettings();
        m_window->update();
    }
}

void MainWindowContent::createFonts()
{
    QFont base = QApplication::font();
    const int dpi = m_window ? m_window->logicalDpiY() : 96;
    base.setPixelSize(10 * dpi / 72);
    m_normalFont = base;
    m_largeFont = base;
    m_largeFont.setPixelSize(3 * base.pixelSize());
    m_largeFont.setWeight(QFont::Black);
    m_mediumFont = base;
    m_mediumFont.setPixelSize(base.pixelSize() * 3 / 2);
    m_mediumFont.setWeight(QFont::Black);
}

bool MainWindowContent::onCreate(MainWindow *window)
{
    logMessage(1, "BEGIN: On Create -----------------------------------------\n");
    m_window = window;
    m_palette = std::make_unique<Palette>(QApplication::palette());
    m_timerHost = std::make_unique<TimerHost>([this](int id) { onTimer(id); });
    m_timers = m_options.timers ? m_options.timers : m_timerHost.get();
    m_toolTip = std::make_unique<CToolTip>(static_cast<CToolTip::Host &>(*this), m_strings);

    auto *splash = new QS_SplashScreen(m_strings, *m_palette, m_uiLanguage);
    splash->show();
    createFonts();

    if (m_experiment.trainStock().empty() || m_experiment.testStock().empty()
        || m_experiment.trainSyllableList().size() == 0 || m_startupProblem == 1) {
        m_boxes.show(m_strings.text(kErrorTitle), m_strings.text(kMaterialMissing),
                     MessageIcon::Error, MessageButtons::Ok);
        m_exitCode = -1;
        logMessage(1, "END: On Create, no recordings\n");
        return false;
    }
    if (m_experiment.testSyllableList().size() != 1) {
        m_boxes.show(m_strings.text(kErrorTitle), m_strings.text(kTestMaterialMissing),
                     MessageIcon::Error, MessageButtons::Ok);
        m_exitCode = -1;
        logMessage(1, "END: On Create, no test recordings\n");
        return false;
    }
    if (!lockDataFolder())
        return false;
    reportUnplayableRecordings();
    m_timers->setTimer(WaitTimer, 1000);
    if (m_startupProblem == 2)
        m_boxes.show(m_strings.text(kWarningTitle), m_strings.text(kSettingsMissing),
                     MessageIcon::Warning, MessageButtons::Ok);
    m_settings.checkDataDirectory(m_installationLayout.dataFolder, m_boxes, m_strings);

    window->setFont(m_normalFont);
    createSubWindows();
    windowSettings();
    menuSettings();
    m_timers->setTimer(kLevelMeterTimer, 32);
    getProbandList();
    m_logo = Artwork::render(Artwork::kLogo);
    logMessage(1, "   OC 90: update client for %s, version %d.%d.%d, language %s\n",
               utf8(m_trueUpdateDir).constData(), ProgramVersion::kMajor, ProgramVersion::kMinor,
               ProgramVersion::kBuild,
               QByteArray(kLanguageCodes[m_uiLanguage]).left(2).constData());
    logMessage(1, "END: On Create -----------------------------------------\n");
    return true;
}

bool MainWindowContent::lockDataFolder()
{
    if (m_dataLock.lock(m_settings.dataDirectory) != DataFolderLock::Outcome::HeldByOther)
        return true;
    m_boxes.show(m_strings.text(kErrorTitle),
                 m_strings.text(907)
                     .arg(QDir::toNativeSeparators(m_settings.dataDirectory))
                     .arg(m_dataLock.holder()),
                 MessageIcon::Error, MessageButtons::Ok);
    m_exitCode = -1;
    // The program that holds the folder keeps its settings; this one writes none at its end.
    m_writesSettings = false;
    logMessage(1, "END: On Create, the data folder is in use\n");
    return false;
}

void MainWindowContent::onShown()
{
    focusMainWindow();
    offerUnsavedRun();
    m_capture->setThreshold(m_settings.threshold);
    if (!m_capture->startCapture(m_audio ? m_audio->input() : nullptr))
        logMessage(1, "   InitInstance: no capture; voice onsets will not be detected\n");
    logMessage(1, "InitInstance READY ***************************************************\n");
}

QWidget *MainWindowContent::addPanel(int id,
                                     int toolTip,
                                     bool framed,
                                     std::function<void(DrawingSurface &)> painter)
{
    // Panels paint in the normal font unless their painter chooses another.
    auto panel = std::make_unique<PanelDC>(*m_palette,
                                           [this, painter = std::move(painter)](DrawingSurface &s) {
                                               s.setFont(&m_normalFont);
                                               painter(s);
                                           });
    QWidget *widget = panel->create(m_window->canvas(), id, toolTip, framed);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents); // mouse moves reach the main window
    widget->setObjectName(QStringLiteral("panel%1").arg(id));
    m_panels[id] = std::move(panel);
    return widget;
}

void MainWindowContent::createSubWindows()
{
    logMessage(1, "BEGIN : createSubWindows\n");
    QWidget *canvas = m_window->canvas();
    onSize(canvas->width(), canvas->height());
    addPanel(kAnswerTimeBarId, 156, true,
             [this](DrawingSurface &s) { PanelPainters::paintAnswerTimeBar(s, panelState()); });
    m_reportScrollBar = new QScrollBar(Qt::Vertical, canvas);
    addPanel(kChartId, 176, true, [this](DrawingSurface &s) {
        PanelPainters::paintChart(s, panelState(), m_layout.barWidth);
    });
    addPanel(kLevelMeterId, 177, true,
             [this](DrawingSurface &s) { PanelPainters::paintLevelMeter(s, panelState()); });
    m_slider = new QSlider(Qt::Vertical, canvas);
    m_slider->setObjectName(QStringLiteral("threshold"));
    m_slider->setRange(0, 90);
    // 0 dB is at the top: the arrow keys, pages and the wheel move the thumb the way it is drawn.
    m_slider->setInvertedAppearance(true);
    m_slider->setInvertedControls(true);
    m_slider->setPageStep(1);
    m_slider->setTickInterval(6);
    m_slider->setValue(-m_settings.threshold);
    m_slider->setFocusPolicy(Qt::StrongFocus);
    m_slider->installEventFilter(m_window);
    QObject::connect(m_slider, &QSlider::valueChanged, m_window, [this](int value) {
        m_settings.threshold = -value;
        m_capture->setThreshold(m_settings.threshold);
        if (QWidget *meter = child(kLevelMeterId))
            meter->update();
    });
    addPanel(kRemainingId, 182, true, [this](DrawingSurface &s) {
        PanelPainters::paintRemainingSyllables(s, panelState());
    });
    addPanel(kReactionTimeId, 181, true,
             [this](DrawingSurface &s) { PanelPainters::paintReactionTime(s, panelState()); });
    addPanel(kCurrentSyllableId, 180, true,
             [this](DrawingSurface &s) { PanelPainters::paintCurrentSyllable(s, panelState()); });
    addPanel(kStatusLineId, -1, false,
             [this](DrawingSurface &s) { PanelPainters::paintStatusLine(s, panelState()); });

    const auto button = [&](int id, int text) {
        auto *pushButton = new QPushButton(m_strings.text(text), canvas);
        pushButton->setObjectName(QStringLiteral("button%1").arg(id));
        pushButton->setEnabled(false);
        pushButton->setFocusPolicy(Qt::NoFocus);
        QObject::connect(pushButton, &QPushButton::clicked, m_window,
                         [this, id] { onCommand(id); });
        return pushButton;
    };
    m_wrongButton = button(Command::Wrong, 104);
    m_rejectButton = button(Command::Reject, 106);
    m_abortButton = button(Command::AbortButton, 105);
    m_printButton = button(Command::PrintReport, 313);
    m_showTests = new QCheckBox(m_strings.text(315), canvas);
    m_showTests->setChecked(true);
    m_showTests->setEnabled(false);
    m_showSyllables = new QCheckBox(m_strings.text(317), canvas);
    m_showSyllables->setChecked(true);
    m_showSyllables->setEnabled(false);

    addPanel(kEvaluationId, 178, true,
             [this](DrawingSurface &s) { PanelPainters::paintEvaluation(s, panelState()); });
    addPanel(kCurrentSyllablesId, 179, true,
             [this](DrawingSurface &s) { PanelPainters::paintCurrentSyllables(s, panelState()); });

    const auto field = [&](int id) {
        auto *edit = new QLineEdit(canvas);
        edit->setObjectName(QStringLiteral("field%1").arg(id));
        edit->installEventFilter(m_window);
        return edit;
    };
    m_firstName = field(kFirstNameId);
    m_lastName = field(kLastNameId);
    m_birthday = field(kBirthdayId);
    m_birthday->setAlignment(Qt::AlignCenter);
    for (QLineEdit *name : { m_firstName.data(), m_lastName.data() })
        name->setMaxLength(128);
    QObject::connect(m_firstName, &QLineEdit::textEdited, m_window,
                     [this](const QString &text) { onNameEdited(true, text); });
    QObject::connect(m_lastName, &QLineEdit::textEdited, m_window,
                     [this](const QString &text) { onNameEdited(false, text); });
    addPanel(kRunDateId, 196, true, [this](DrawingSurface &s) {
        s.fillRect(Palette::kWindow, false, false, s.rect());
        s.setTextColor(Palette::kNearBlack);
        s.drawText(s.rect(), true, true, m_experiment.client().runDateText(m_uiLanguage));
    });
    m_comment = new QPlainTextEdit(canvas);
    m_comment->setObjectName(QStringLiteral("comment"));
    m_comment->setTabChangesFocus(true);
    m_comment->installEventFilter(m_window);
    addPanel(kTrainingSettingsId, 184, true,
             [this](DrawingSurface &s) { PanelPainters::paintTrainingSettings(s, panelState()); });
    addPanel(kLogoId, 185, true, [this](DrawingSurface &s) {
        s.fillRect(Palette::kButtonFace, false, false, s.rect());
        s.painter()->drawImage(s.rect().topLeft(), m_logo);
    });

    m_toolTipBox = new QLabel(nullptr, Qt::ToolTip);
    m_toolTipBox->setObjectName(QStringLiteral("toolTip"));
    static_cast<QLabel *>(m_toolTipBox.data())->setAlignment(Qt::AlignCenter);

    const std::pair<QWidget *, int> tipped[] = {
        { child(kAnswerTimeBarId), 156 },
        { child(kChartId), 176 },
        { child(kLevelMeterId), 177 },
        { m_slider, 198 },
        { child(kRemainingId), 182 },
        { child(kReactionTimeId), 181 },
        { child(kCurrentSyllableId), 180 },
        { m_wrongButton, 189 },
        { m_rejectButton, 190 },
        { m_abortButton, 191 },
        { m_printButton, 314 },
        { m_showTests, 316 },
        { m_showSyllables, 318 },
        { child(kEvaluationId), 178 },
        { child(kCurrentSyllablesId), 179 },
        { m_firstName, 193 },
        { m_lastName, 194 },
        { m_birthday, 195 },
        { child(kRunDateId), 196 },
        { m_comment, 197 },
        { child(kTrainingSettingsId), 184 },
        { child(kLogoId), 185 },
    };
    for (const auto &[widget, text] : tipped) {
        // The controls take their mouse moves themselves; the window watches them, so that the
        // tool tip hears of every move, not only of those over the canvas and its panels.
        widget->setMouseTracking(true);
        widget->installEventFilter(m_window);
        if (auto *area = qobject_cast<QAbstractScrollArea *>(widget)) {
            area->viewport()->setMouseTracking(true);
            area->viewport()->installEventFilter(m_window);
        }
        QPointer<QWidget> guard(widget);
        m_toolTip->addArea({ widget, widget->geometry(), text, QString(),
                             [guard] { return guard && guard->isVisible(); } });
    }
    moveChildren();
    resetGui(false);
    logMessage(1, "END : createSubWindows\n");
}

QWidget *MainWindowContent::child(int id) const
{
    const auto found = m_panels.find(id);
    if (found != m_panels.end())
        return found->second->window();
    switch (id) {
    case kSliderId:
        return m_slider;
    case kFirstNameId:
        return m_firstName;
    case kLastNameId:
        return m_lastName;
    case kBirthdayId:
        return m_birthday;
    case kCommentId:
        return m_comment;
    case Command::Wrong:
        return m_wrongButton;
    case Command::Reject:
        return m_rejectButton;
    case Command::AbortButton:
        return m_abortButton;
    case Command::PrintReport:
        return m_printButton;
    case Command::ShowTests:
        return m_showTests;
    case Command::ShowSyllables:
        return m_showSyllables;
    default:
        return nullptr;
    }
}

void MainWindowContent::onSize(int width, int height)
{
    logMessage(1, "BEGIN: On Size\n");
    LayoutFontMetrics metrics;
    const QFontMetrics normal(m_normalFont);
    const QFontMetrics large(m_largeFont);
    const QFontMetrics medium(m_mediumFont);
    metrics.charWidth = normal.averageCharWidth();
    metrics.charHeight = normal.height();
    metrics.largeHeight = large.height();
    metrics.largeWidth = large.averageCharWidth();
    metrics.mediumHeight = medium.height();
    m_layout = MainWindowLayout::calculate(width, height, metrics);
    moveChildren();
}

void MainWindowContent::moveChildren()
{
    if (m_panels.empty())
        return;
    const MainWindowLayout &l = m_layout;
    const std::pair<int, QRect> panels[] = {
        { kAnswerTimeBarId, l.answerTimeBar },
        { kChartId, l.chart },
        { kLevelMeterId, l.levelMeter },
        { kRemainingId, l.remainingSyllables },
        { kReactionTimeId, l.reactionTime },
        { kCurrentSyllableId, l.currentSyllable },
        { kStatusLineId, l.statusLine },
        { kEvaluationId, l.evaluation },
        { kCurrentSyllablesId, l.currentSyllables },
        { kRunDateId, l.runDate },
        { kTrainingSettingsId, l.trainingSettings },
        { kLogoId, l.logo },
    };
    for (const auto &[id, rect] : panels) {
        m_panels[id]->setRect(rect);
        m_panels[id]->move();
    }
    m_reportScrollBar->setGeometry(l.reportScrollBar);
    m_slider->setGeometry(l.slider);
    if (m_reportView) {
        m_showTests->setGeometry(l.showTestsButton);
        m_showSyllables->setGeometry(l.showSyllablesButton);
        m_printButton->setGeometry(l.printButton);
        m_abortButton->setGeometry(l.reportAbortButton);
    } else {
        m_abortButton->setGeometry(l.abortButton);
    }
    m_wrongButton->setGeometry(l.wrongButton);
    m_rejectButton->setGeometry(l.rejectButton);
    m_firstName->setGeometry(l.firstName);
    m_lastName->setGeometry(l.lastName);
    m_birthday->setGeometry(l.birthday);
    m_comment->setGeometry(l.comment);
    for (const CToolTip::Area &area : m_toolTip->areas()) {
        if (area.visible)
            m_toolTip->setAreaRect(area.key, static_cast<const QWidget *>(area.key)->geometry());
    }
    m_reportScrollBar->setVisible(m_reportView);
}

void MainWindowContent::resetGui(bool resetClient)
{
    logMessage(5, "BEGIN: Reset GUI -----------------------------------------\n");
    const Status saved = m_experiment.reset(resetClient);
    if (!saved.ok())
        reportSaveFailure(m_boxes, m_strings, kUserLogNotSaved, saved);
    m_controller->setModeLabel(QStringLiteral(" "));
    m_controller->setStateText(QStringLiteral(" "));
    if (!m_window)
        return;
    if (m_slider)
        m_slider->setValue(-m_settings.threshold);
    showClientInFields();
}

void MainWindowContent::showClientInFields()
{
    if (!m_window)
        return;
    const ORVA_Proband &client = m_experiment.client();
    m_isInput = false;
    if (m_birthday)
        m_birthday->setText(client.birthdayText(m_uiLanguage));
    if (m_firstName)
        m_firstName->setText(client.firstName().value_or(QString()));
    if (m_lastName)
        m_lastName->setText(client.lastName().value_or(QString()));
    if (m_comment)
        m_comment->setPlainText(m_experiment.comment());
    m_isInput = false;
    m_window->update();
}

PanelState MainWindowContent::panelState() const
{
    PanelState state;
    state.experiment = &m_experiment;
    state.strings = &m_strings;
    state.programState = static_cast<int>(m_controller->programState());
    state.highlight = m_controller->isHighlighted();
    state.guide = m_guide;
    state.modeName = m_controller->modeLabel();
    state.stateText = m_controller->stateText();
    state.paintOrder = m_paintOrder;
    const qint64 endUs = m_controller->programState() == ProgramState::WaitForAudio
        ? m_clock.nowUs()
        : m_controller->answerTimeUs();
    state.elapsedMs = std::max<qint64>(0, (endUs - m_controller->syllableStartUs()) / 1000);
    state.inputPeak = m_inputPeak;
    state.thresholdDb = m_settings.threshold;
    state.largeFont = m_largeFont;
    state.mediumFont = m_mediumFont;
    return state;
}

void MainWindowContent::onPaint(QPainter &painter)
{
    logMessage(9, "BEGIN: On Paint\n");
    if (!m_palette)
        return;
    DrawingSurface surface(*m_palette);
    surface.begin(&painter, m_window->canvas()->rect());
    surface.setFont(&m_normalFont);
    surface.fillRect(Palette::kButtonFace, false, false, m_window->canvas()->rect());
    surface.setTextColor(Palette::kNearBlack);
    const MainWindowLayout &l = m_layout;
    const auto caption = [&](const QRect &zone, int text) {
        surface.drawText(zone, true, true, m_strings.text(text) + QLatin1Char(':'));
    };
    caption(l.firstNameCaption, 108);
    caption(l.lastNameCaption, 112);
    caption(l.birthdayCaption, 113);
    caption(l.runDateCaption, 114);
    const auto visible = [&](int id) { return child(id) && child(id)->isVisible(); };
    if (visible(kCurrentSyllableId))
        surface.textOut(l.currentSyllableCaption.x(), l.currentSyllableCaption.y(),
                        m_strings.text(123) + QLatin1Char(':'));
    if (visible(kRemainingId))
        surface.textOut(l.remainingCaption.x(), l.remainingCaption.y(),
                        m_strings.text(121) + QLatin1Char(':'));
    if (visible(kReactionTimeId))
        surface.textOut(l.reactionTimeCaption.x(), l.reactionTimeCaption.y(),
                        m_strings.text(122) + QLatin1Char(':'));
    surface.textOut(l.commentCaption.x(), l.commentCaption.y(),
                    m_strings.text(115) + QLatin1Char(':'));
    const PanelState state = panelState();
    DrawingSurface axis(*m_palette);
    axis.derive(surface, l.axis.left(), l.axis.top(), l.axis.right(), l.axis.bottom());
    PanelPainters::paintAxis(axis, state);
    axis.end();
    DrawingSurface strip(*m_palette);
    strip.derive(surface, l.countStrip.left(), l.countStrip.top() - 1, l.countStrip.right(),
                 l.countStrip.bottom() + 1);
    PanelPainters::paintCountStrip(strip, state, l.barWidth);
    strip.end();
    surface.end();
}

CommandState MainWindowContent::commandState() const
{
    CommandState state;
    state.programState = static_cast<int>(m_controller->programState());
    state.runState = static_cast<int>(m_controller->runState());
    state.reportView = m_reportView;
    state.testMode = m_experiment.isTestMode();
    state.groupDisplay = m_experiment.client().displayMode();
    state.mayPrint = m_controller->mayPrint();
    state.maySave = m_controller->maySave();
    return state;
}

std::map<int, bool> MainWindowContent::menuEnabling() const
{
    return orva::menuSettings(commandState());
}

void MainWindowContent::menuSettings()
{
    logMessage(7, "BEGIN: menuSettings\n");
    if (m_window)
        m_window->enableMenuItems(menuEnabling());
}

void MainWindowContent::windowSettings()
{
    logMessage(7, "BEGIN: windowSettings\n");
    applyWindowSettings();
}

void MainWindowContent::applyWindowSettings()
{
    if (!m_window || m_panels.empty())
        return;
    for (const auto &[window, visible] : orva::windowSettings(commandState())) {
        QWidget *widget = nullptr;
        switch (window) {
        case ChildWindow::CurrentSyllable:
            widget = child(kCurrentSyllableId);
            break;
        case ChildWindow::CurrentSyllables:
            widget = child(kCurrentSyllablesId);
            break;
        case ChildWindow::RemainingSyllables:
            widget = child(kRemainingId);
            break;
        case ChildWindow::ReactionTime:
            widget = child(kReactionTimeId);
            break;
        case ChildWindow::WrongButton:
            widget = m_wrongButton;
            break;
        case ChildWindow::RejectButton:
            widget = m_rejectButton;
            break;
        case ChildWindow::AbortButton:
            widget = m_abortButton;
            break;
        case ChildWindow::Evaluation:
            widget = child(kEvaluationId);
            break;
        case ChildWindow::PrintButton:
            widget = m_printButton;
            break;
        case ChildWindow::ShowTestsBox:
            widget = m_showTests;
            break;
        case ChildWindow::ShowSyllablesBox:
            widget = m_showSyllables;
            break;
        case ChildWindow::ReportScrollBar:
            widget = m_reportScrollBar;
            break;
        }
        if (widget)
            widget->setVisible(visible);
    }
    m_window->canvas()->update();
}

void MainWindowContent::layoutMainWindow()
{
    if (m_window)
        onSize(m_window->canvas()->width(), m_window->canvas()->height());
}

void MainWindowContent::leaveReportViewAndGuide()
{
    if (m_reportView)
        showMainView();
    m_guide = false;
}

void MainWindowContent::showMainView()
{
    m_reportView = false;
    if (!m_window)
        return;
    for (QWidget *button :
         { static_cast<QWidget *>(m_printButton), static_cast<QWidget *>(m_showTests),
           static_cast<QWidget *>(m_showSyllables), static_cast<QWidget *>(m_abortButton) })
        button->setEnabled(false);
    m_abortButton->setText(m_strings.text(105));
    m_toolTip->setAreaText(child(kChartId), 176);
    windowSettings();
    menuSettings();
    layoutMainWindow();
}

void MainWindowContent::showFirstRunHelp()
{
    m_timers->stopTimer(WaitTimer);
    if (m_settings.doAudioIntro) {
        if (!m_modelessDialog.isEmpty())
            return;
        // The setting goes off only once the wizard has really been shown; this version has
        // none yet, so it stays on for the version that has.
        logMessage(1, "   First-run help: the audio set-up wizard would open here\n");
    } else if (m_settings.doIntro) {
        logMessage(1, "   First-run help: the first-steps dialog would open here\n");
    }
}

bool MainWindowContent::saveRun()
{
    return onFileSave();
}

void MainWindowContent::reportUnplayableRecordings()
{
    const QStringList names = m_experiment.unplayableRecordings();
    if (names.isEmpty())
        return;
    const QString text = m_strings.text(912).arg(names.join(QStringLiteral(", ")));
    logMessage(1, QStringLiteral("ERROR: %1\n").arg(text));
    m_boxes.show(m_strings.text(kWarningTitle), text, MessageIcon::Warning, MessageButtons::Ok);
}

QString MainWindowContent::soundProblem()
{
    // Without a sound session the caller delivers the onsets itself (the window's tests).
    if (!m_audio)
        return QString();
    QStringList missing;
    AudioOutput *output = m_audio->output();
    if (!output || (!output->isRunning() && !m_audio->startOutput().isOk()))
        missing << m_strings.text(910).arg(m_audioOutputSetting);
    if (!m_capture->isCapturing())
        missing << m_strings.text(911).arg(m_audioInputSetting);
    return missing.join(QLatin1Char('\n'));
}

bool MainWindowContent::isSoundSettled() const
{
    return !m_audio || m_audio->areClocksSettled();
}

bool MainWindowContent::isListening() const
{
    // Without a sound session the caller delivers the onsets itself (the window's tests).
    return !m_audio || (m_audio->isListening() && m_capture->isCapturing());
}

void MainWindowContent::commentAppended(const QString &note)
{
    // What the operator typed and has not been stored yet stays in front of the note.
    if (m_comment)
        m_comment->appendPlainText(note);
    storeComment();
}

qint64 MainWindowContent::audioGlitchCount() const
{
    return m_audio ? m_audio->glitchCount() : 0;
}

bool MainWindowContent::isRunning() const
{
    return m_controller->isRunActive();
}

void MainWindowContent::showError(int text)
{
    m_boxes.show(m_strings.text(kErrorTitle), m_strings.text(text), MessageIcon::Error,
                 MessageButtons::Ok);
}

ClientFiles::Run MainWindowContent::runForFileName() const
{
    ClientFiles::Run run;
    run.mode = m_experiment.mode();
    run.currentIndex = m_experiment.currentIndex();
    run.dataDirectory = m_settings.dataDirectory;
    run.languageCode = m_experiment.languageCode();
    return run;
}

bool MainWindowContent::writeRun(const QString &path)
{
    const Status written = m_experiment.write(path);
    if (written.ok())
        return true;
    // The run stays unsaved, so that it can be saved again once there is room.
    reportSaveFailure(m_boxes, m_strings, kRunNotSaved, written);
    return false;
}

void MainWindowContent::getProbandList()
{
    logMessage(1, "BEGIN: getProbandList\n");
    // The data directory may have changed in the options dialog since the last time.
    DataPathGuard &guard = m_experiment.dataPathGuard();
    guard.setFolders({ m_installationLayout.dataFolder, m_settings.dataDirectory });
    const ScratchRunReader reader(m_baseDirectory, m_experiment.expLanguage());
    m_clients.getProbandList(m_settings.dataDirectory, m_experiment.languageCode(),
                             [&guard, reader](const QString &path, ORVA_Proband &record) {
                                 return guard.allows(path) && reader(path, record);
                             });
}

void MainWindowContent::onFileNew()
{
    logMessage(1, "BEGIN: On File New\n");
    if (isRunning())
        return;
    m_controller->setStateText(QString());
    if (!askToSaveUnsaved())
        return;
    const MessageAnswer sameClient =
        m_boxes.show(m_strings.text(140), m_strings.text(139), MessageIcon::Question,
                     MessageButtons::YesNoCancel);
    resetGui(sameClient == MessageAnswer::No);
    m_controller->setProgramState(ProgramState::Idle);
    m_controller->setRunState(RunState::Empty);
    windowSettings();
    menuSettings();
    repaint(Panel::MainWindow);
}

bool MainWindowContent::onFileSave()
{
    logMessage(1, "BEGIN: On File Save\n");
    if (isRunning() || !m_controller->maySave() || m_controller->runState() == RunState::Saved)
        return false;
    m_controller->setStateText(QString());
    repaint(Panel::Status);
    storeComment();
    QString path;
    if (!ClientFiles::constructFileName(path, true, m_experiment.client(), runForFileName(),
                                        m_boxes, m_strings))
        return false;
    path = ClientFiles::freeRunPath(path);
    if (!writeRun(path))
        return false;
    m_boxes.show(m_strings.text(147), m_strings.text(151), MessageIcon::Information,
                 MessageButtons::Ok);
    getProbandList();
    m_controller->setRunState(RunState::Saved);
    menuSettings();
    return true;
}

bool MainWindowContent::onFileSaveAs()
{
    logMessage(1, "BEGIN: On File SaveAs\n");
    if (isRunning() || !m_controller->maySave())
        return false;
    m_controller->setStateText(QString());
    repaint(Panel::Status);
    storeComment();
    QString proposed;
    if (!ClientFiles::constructFileName(proposed, false, m_experiment.client(), runForFileName(),
                                        m_boxes, m_strings))
        return false;
    const QString folder =
        QStringLiteral("%1/%2").arg(m_settings.dataDirectory, m_experiment.languageCode());
    const QString title = QStringLiteral("Speichere %1-Datei").arg(QStringLiteral("orv"));
    const QString filters =
        QStringLiteral("%1-Datei (*.%1);;Alle Dateien (*.*)").arg(QStringLiteral("orv"));
    QString path = m_options.chooseSavePath
        ? m_options.chooseSavePath(folder, proposed, title, filters)
        : QFileDialog::getSaveFileName(m_window, title, folder + QLatin1Char('/') + proposed,
                                       filters, nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return false;
    if (!path.contains(QLatin1Char('.')))
        path += QStringLiteral(".orv");
    if (QFileInfo::exists(path)) {
        const MessageAnswer replace = m_boxes.show(
            m_strings.text(140), m_strings.text(906).arg(QDir::toNativeSeparators(path)),
            MessageIcon::Question, MessageButtons::YesNo);
        if (replace != MessageAnswer::Yes)
            return false;
    }
    if (!writeRun(path))
        return false;
    m_controller->setRunState(RunState::Saved);
    getProbandList();
    menuSettings();
    return true;
}

bool MainWindowContent::onHelp()
{
    logMessage(1, "BEGIN : OnHelp\n");
    const QString page = QStringLiteral("%1/bin/%2/help/index.html")
                             .arg(m_baseDirectory, StringTable::languageCode(m_uiLanguage));
    bool opened = false;
    if (QFile::exists(page)) {
        const QUrl url = QUrl::fromLocalFile(page);
        opened = m_options.openHelp ? m_options.openHelp(url) : QDesktopServices::openUrl(url);
    }
    if (!opened)
        showError(137);
    logMessage(1, "END : OnHelp\n");
    return opened;
}

void MainWindowContent::onFilePrint()
{
    logMessage(1, "BEGIN: On File Print\n");
    if (isRunning() || !m_controller->mayPrint()) {
        repaint(Panel::MainWindow);
        return;
    }
    m_controller->setStateText(QString());
    storeComment();
    m_boxes.show(m_strings.text(147),
                 m_strings.text(kNotAvailableYet).arg(m_window->commandText(Command::Print)),
                 MessageIcon::Information, MessageButtons::Ok);
    repaint(Panel::MainWindow);
}

void MainWindowContent::showReport()
{
    if (isRunning() || m_controller->isAudioOutputActive() || !askToSaveUnsaved())
        return;
    logMessage(1, "START   OSRep\n");
    QString path;
    if (m_experiment.createLogFileName(path, true) == 0)
        (void)m_experiment.userLog().loadOrSetAside(path);
    m_reportView = true;
    for (QWidget *button :
         { static_cast<QWidget *>(m_printButton), static_cast<QWidget *>(m_showTests),
           static_cast<QWidget *>(m_showSyllables), static_cast<QWidget *>(m_abortButton) })
        button->setEnabled(true);
    m_abortButton->setText(m_strings.text(319));
    m_toolTip->setAreaText(child(kChartId), 350);
    windowSettings();
    menuSettings();
    layoutMainWindow();
    repaint(Panel::MainWindow);
}

std::optional<qint64> MainWindowContent::play(ORVA_Wave &wave)
{
    wave.play(false, false);
    return wave.playStartUs();
}

std::optional<qint64> MainWindowContent::playAt(ORVA_Wave &wave, qint64 startUs)
{
    wave.playAt(startUs);
    return wave.playStartUs();
}

void MainWindowContent::setTimer(int id, int ms)
{
    if (m_timers)
        m_timers->setTimer(id, ms);
}

void MainWindowContent::stopTimer(int id)
{
    if (m_timers)
        m_timers->stopTimer(id);
}

void MainWindowContent::stopOwnTimers()
{
    for (int id : { kLevelMeterTimer, int(WaitTimer), kHearingCheckTimer })
        stopTimer(id);
}

void MainWindowContent::enableButton(RunButton button, bool enabled)
{
    QPushButton *target = nullptr;
    switch (button) {
    case RunButton::Wrong:
        target = m_wrongButton;
        break;
    case RunButton::Reject:
        target = m_rejectButton;
        break;
    case RunButton::Abort:
        target = m_abortButton;
        break;
    }
    if (target)
        target->setEnabled(enabled);
}

void MainWindowContent::focusMainWindow()
{
    if (m_window)
        m_window->canvas()->setFocus();
}

void MainWindowContent::repaint(Panels panels)
{
    if (!m_window)
        return;
    const auto update = [&](int id) {
        if (QWidget *widget = child(id))
            widget->update();
    };
    if (panels & Panel::Syllable) {
        update(kCurrentSyllableId);
        update(kCurrentSyllablesId);
        update(kRemainingId);
    }
    if (panels & Panel::Result) {
        update(kChartId);
        update(kEvaluationId);
        update(kAnswerTimeBarId);
    }
    if (panels & Panel::Time)
        update(kReactionTimeId);
    if (panels & Panel::Status)
        update(kStatusLineId);
    if (panels & Panel::Chart)
        update(kChartId);
    if (panels & Panel::MainWindow) {
        for (const auto &[id, panel] : m_panels)
            panel->window()->update();
        m_window->canvas()->update();
    }
}

void MainWindowContent::removeResultToolTips()
{
    if (m_toolTip)
        m_toolTip->removeWindowlessAreas();
}

QRect MainWindowContent::barToolTipRect(int measurement) const
{
    const Measurement &m = m_experiment.measurement(measurement);
    const int scale = PanelPainters::scaleMaximum(panelState());
    const int h = m_layout.chart.height();
    int height = static_cast<int>(double(m.reactionTime) / scale * (h + 1));
    height = std::clamp(height, 2, h);
    const int n = m_layout.barWidth;
    const int left = n / 2 + measurement * n;
    return QRect(m_layout.chart.left() + left, m_layout.chart.top() + h - height, n - n / 2,
                 height);
}

void MainWindowContent::addResultToolTip(int measurement)
{
    if (!m_toolTip || measurement < 0 || measurement >= m_experiment.measurementCount())
        return;
    m_toolTip->addArea({ nullptr,
                         barToolTipRect(measurement),
                         -1,
                         PanelPainters::resultToolTipText(m_experiment, m_strings, measurement),
                         {} });
}

void MainWindowContent::computePaintOrder()
{
    m_paintOrder = getPaintOrder(m_experiment);
}

void MainWindowContent::onCommand(int command)
{
    switch (command) {
    case Command::StartPreTest:
        m_controller->onStartPreTest();
        break;
    case Command::StartMainTest:
        m_controller->onStartMainTest();
        break;
    case Command::StartTraining:
        m_controller->onStartTraining();
        break;
    case Command::StartButton:
        m_controller->onStart();
        break;
    case Command::MarkWrong:
    case Command::Wrong:
        m_controller->onWrongReaction();
        break;
    case Command::RejectSyllable:
    case Command::Reject:
        m_controller->onReject();
        break;
    case Command::AbortRun:
    case Command::AbortButton:
        m_controller->onAbort();
        break;
    case Command::MainView:
        showMainView();
        break;
    case Command::ReportView:
        showReport();
        break;
    case Command::New:
        onFileNew();
        break;
    case Command::Save:
        onFileSave();
        break;
    case Command::SaveAs:
        onFileSaveAs();
        break;
    case Command::Print:
        onFilePrint();
        break;
    case Command::Help:
        onHelp();
        break;
    case Command::Exit:
        if (m_window)
            m_window->close();
        break;
    case Command::Nothing:
        break;
    default:
        // The dialogs and file commands are wired where they are built.
        m_boxes.show(m_strings.text(147),
                     QStringLiteral("%1 (%2)")
                         .arg(m_window ? m_window->commandText(command) : QString())
                         .arg(command),
                     MessageIcon::Information, MessageButtons::Ok);
        break;
    }
}

void MainWindowContent::moveFocus(bool backwards)
{
    QWidget *order[] = { m_lastName, m_firstName, m_birthday, m_slider, m_comment };
    int focused = -1;
    for (int i = 0; i < 5; ++i) {
        if (order[i] && order[i]->hasFocus())
            focused = i;
    }
    const int next = nextInTabOrder(focused, 5, backwards,
                                    [&](int i) { return order[i] && order[i]->isVisible(); });
    if (next >= 0 && order[next])
        order[next]->setFocus(Qt::TabFocusReason);
}

bool MainWindowContent::translateAccelerator(QKeyEvent *event)
{
    logMessage(1, "BEGIN : translateAccelerator\n");
    m_isInput = true;
    const KeyAction action =
        orva::translateAccelerator(event->key(), event->modifiers() & Qt::ShiftModifier,
                                   static_cast<int>(m_controller->programState()));
    if (action.tab != 0)
        moveFocus(action.tab < 0);
    if (action.focusMainWindow)
        focusMainWindow();
    if (action.command != 0)
        onCommand(action.command);
    if (action.consumed)
        m_isInput = false;
    return action.consumed;
}

void MainWindowContent::onNameEdited(bool firstName, const QString &text)
{
    // Only typed or pasted text counts; the program's own setting of the text sets no input flag.
    if (!m_isInput)
        return;
    if (firstName)
        m_experiment.client().setFirstName(text);
    else
        m_experiment.client().setLastName(text);
    m_isInput = false;
}

bool MainWindowContent::fieldKeyPress(QObject *field, QKeyEvent *event)
{
    if (field == m_firstName || field == m_lastName) {
        const QString text = event->text();
        if (text.size() != 1 || event->key() == Qt::Key_Backspace || !text.at(0).isPrint())
            return false; // editing keys keep their behaviour
        return !isNameCharacter(text.at(0));
    }
    if (field != m_birthday)
        return false;
    const BirthdayMask mask(m_uiLanguage);
    const QString current = m_birthday->text();
    int start = m_birthday->cursorPosition();
    int end = start;
    if (m_birthday->hasSelectedText()) {
        start = m_birthday->selectionStart();
        end = m_birthday->selectionEnd();
    }
    MaskedText edited;
    if (event->key() == Qt::Key_Backspace) {
        edited = mask.backspace(current, start, end);
    } else if (event->key() == Qt::Key_Delete) {
        edited = mask.deleteSelection(current, start, end);
    } else if (event->text().size() == 1 && event->text().at(0).isDigit()) {
        edited = mask.typeDigit(current, start, end, event->text().at(0));
    } else if (event->text().size() == 1 && event->text().at(0).isPrint()) {
        return true; // the mask takes digits only
    } else {
        return false; // arrows, Home, End
    }
    m_birthday->setText(edited.text);
    m_birthday->setCursorPosition(edited.caret);
    m_experiment.client().birthday() = mask.read(edited.text);
    m_isInput = false;
    return true;
}

bool MainWindowContent::onExit()
{
    logMessage(1, "BEGIN: On Exit\n");
    if (isRunning())
        m_controller->onAbort();
    if (!askToSaveUnsaved()) {
        logMessage(1, "END: On Exit, cancelled\n");
        return false;
    }
    storeComment();
    m_controller->setRunState(RunState::Empty);
    const Status written = m_experiment.writeUserDefinedTrainSyllableTrain();
    if (!written.ok())
        reportSaveFailure(m_boxes, m_strings, kOwnListsNotSaved, written);
    stopOwnTimers();
    logMessage(1, "END: On Exit\n");
    return true;
}

QString MainWindowContent::unsavedRunPath() const
{
    // Beside the settings: per user where a shared data folder serves several operators.
    return QFileInfo(m_installationLayout.settingsFile)
        .dir()
        .filePath(QStringLiteral("unsaved-run.orv"));
}

void MainWindowContent::onTerminate()
{
    logMessage(1, "BEGIN: On Terminate\n");
    if (isRunning())
        m_controller->onAbort();
    storeComment();
    if (m_controller->mustAskToSave()) {
        const Status kept = m_experiment.write(unsavedRunPath());
        logMessage(1,
                   kept.ok()
                       ? QStringLiteral("   OTE 10: unsaved run kept in %1\n").arg(unsavedRunPath())
                       : QStringLiteral("ERROR: %1\n").arg(kept.error()));
    }
    m_controller->setRunState(RunState::Empty);
    const Status written = m_experiment.writeUserDefinedTrainSyllableTrain();
    if (!written.ok())
        logMessage(1, QStringLiteral("ERROR: %1\n").arg(written.error()));
    stopOwnTimers();
    logMessage(1, "END: On Terminate\n");
}

void MainWindowContent::offerUnsavedRun()
{
    const QString path = unsavedRunPath();
    if (!QFileInfo::exists(path))
        return;
    RunFileContent run;
    const int read = RunFile::read(path, m_experiment.expLanguage(), run);
    const QString client = run.client.lastName().value_or(QString()) + QLatin1String(", ")
        + run.client.firstName().value_or(QString()) + QLatin1Char(' ')
        + run.client.runDate().displayText(m_uiLanguage) + QLatin1Char(' ')
        + run.client.runDate().timeText();
    const MessageAnswer answer = read == 0
        ? m_boxes.show(m_strings.text(140), m_strings.text(908).arg(client), MessageIcon::Question,
                       MessageButtons::YesNo)
        : MessageAnswer::No;
    if (read != 0 || (answer == MessageAnswer::Yes && m_experiment.read(path) != 0)) {
        // Left for a person to look at: nothing that could not be opened is thrown away.
        logMessage(1, "ERROR: the kept unsaved run %s cannot be read\n", utf8(path).constData());
        return;
    }
    if (answer == MessageAnswer::Yes) {
        int judged = 0;
        while (judged < m_experiment.measurementCount()
               && m_experiment.measurement(judged).result != Unjudged)
            ++judged;
        const bool complete = judged == m_experiment.measurementCount();
        // The file name counts the syllables presented, as at the end of the run.
        m_experiment.setCurrentIndex(judged - 1);
        m_controller->setProgramState(ProgramState::ExpCompleted);
        m_controller->setRunState(complete ? RunState::Finished : RunState::Aborted);
        showClientInFields();
    }
    // Opened or declined: the run is the program's again, or the operator let it go.
    QFile::remove(path);
    windowSettings();
    menuSettings();
    repaint(Panel::MainWindow);
}

bool MainWindowContent::askToSaveUnsaved()
{
    if (!m_controller->mustAskToSave())
        return true;
    const MessageAnswer answer = m_boxes.show(m_strings.text(140), m_strings.text(153),
                                              MessageIcon::Question, MessageButtons::YesNoCancel);
    if (answer == MessageAnswer::Cancel)
        return false;
    return answer == MessageAnswer::No || saveRun();
}

void MainWindowContent::storeComment()
{
    if (m_comment)
        m_experiment.setComment(m_comment->toPlainText());
}

void MainWindowContent::onTimer(int id)
{
    switch (id) {
    case kLevelMeterTimer:
        m_capture->restartLostInput();
        m_inputPeak = m_capture->preparePaintVU_Meter(m_controller->programState()
                                                      == ProgramState::WaitForAudio);
        if (m_controller->programState() == ProgramState::WaitForAudio)
            repaint(Panel::Result);
        if (QWidget *meter = child(kLevelMeterId))
            meter->update();
        break;
    case CToolTip::kTimerId:
        m_toolTip->timer();
        break;
    case kHearingCheckTimer:
        stopTimer(id);
        onAudioEnd();
        break;
    default:
        m_controller->onTimer(id);
        break;
    }
}

void MainWindowContent::onMouseMove(QPoint screen, QPoint owner)
{
    if (m_toolTip)
        m_toolTip->mouseMove(screen, owner);
}

void MainWindowContent::onMouseClick()
{
    if (m_toolTip)
        m_toolTip->mouseClick();
}

void MainWindowContent::onAudioInput(qint64 onsetUs)
{
    m_controller->onAudioInput(onsetUs);
}

void MainWindowContent::onAudioEnd()
{
    const ProgramState state = m_controller->programState();
    if (state == ProgramState::OtherAudio || state == ProgramState::TestAudio) {
        m_controller->setProgramState(ProgramState::Idle);
        menuSettings();
    }
    m_modelessDialog.clear();
}

void MainWindowContent::showBox(const QRect &rect, const QString &text)
{
    auto *box = static_cast<QLabel *>(m_toolTipBox.data());
    if (!box)
        return;
    box->setText(text);
    box->setGeometry(rect);
    box->show();
    box->raise();
}

void MainWindowContent::hideBox()
{
    if (m_toolTipBox)
        m_toolTipBox->hide();
}

bool MainWindowContent::isActive() const
{
    return m_window && m_window->isActiveWindow();
}

QRect MainWindowContent::ownerRect() const
{
    if (!m_window)
        return QRect();
    QWidget *canvas = m_window->canvas();
    return QRect(canvas->mapToGlobal(QPoint(0, 0)), canvas->size());
}

QRect MainWindowContent::desktopRect() const
{
    const QScreen *screen = m_window ? m_window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

int MainWindowContent::charHeight() const
{
    return QFontMetrics(m_normalFont).height();
}

int MainWindowContent::averageCharWidth() const
{
    return QFontMetrics(m_normalFont).averageCharWidth();
}

} // namespace orva
