// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainWindow.h"

#include "mainwindow/CommandRules.h"
#include "mainwindow/MainWindowContent.h"
#include "support/StringTable.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>

namespace orva {

namespace {

/// The client area: paints the main window's own parts and reports size and mouse.
class Canvas final : public QWidget
{
public:
    Canvas(MainWindowContent &content, QWidget *parent)
        : QWidget(parent)
        , m_content(content)
    {
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setObjectName(QStringLiteral("canvas"));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_content.onPaint(painter);
    }
    void resizeEvent(QResizeEvent *) override { m_content.onSize(width(), height()); }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        m_content.onMouseMove(event->globalPosition().toPoint(), event->position().toPoint());
    }
    void mousePressEvent(QMouseEvent *) override { m_content.onMouseClick(); }
    void mouseDoubleClickEvent(QMouseEvent *) override { m_content.onMouseClick(); }

private:
    MainWindowContent &m_content;
};

struct MenuItem
{
    int command; ///< 0: a separator
};

struct MenuDefinition
{
    int popup;
    std::initializer_list<int> commands;
};

// The menu bar, each popup's items in order; 0 is a separator.
const MenuDefinition kMenu[] = {
    { 0,
      { Command::New, Command::OpenDatabase, Command::Save, Command::SaveAs, Command::Print, 0,
        Command::Exit } },
    { 1,
      { Command::StartTraining, 0, Command::Instruction, 0, Command::StartPreTest,
        Command::StartMainTest, 0, Command::AbortRun, 0, Command::HearingCheck } },
    { 2,
      { Command::TrainingSettings, 0, Command::AudioSetup, Command::LatencyTest, 0,
        Command::PlaybackVolume, Command::RecordingVolume, Command::AudioDevices, 0,
        Command::Language, Command::Options } },
    { 3, { Command::MainView, Command::ReportView } },
    { 4, { Command::Help, 0, Command::About } },
};

} // namespace

MainWindow::MainWindow(MainWindowContent &content, const StringTable &strings)
    : m_content(content)
{
    setObjectName(QStringLiteral("ORVA"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    m_canvas = new Canvas(content, this);
    setCentralWidget(m_canvas);
    buildMenu(strings);
}

void MainWindow::buildMenu(const StringTable &strings)
{
    for (const MenuDefinition &definition : kMenu) {
        QMenu *menu =
            menuBar()->addMenu(strings.text(QStringLiteral("menu.popup.%1").arg(definition.popup)));
        for (int command : definition.commands) {
            if (command == 0) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(strings.text(QStringLiteral("menu.%1").arg(command)));
            action->setData(command);
            connect(action, &QAction::triggered, this,
                    [this, command] { m_content.onCommand(command); });
            m_actions.insert(command, action);
        }
    }
}

void MainWindow::enableMenuItems(const std::map<int, bool> &enabled)
{
    for (const auto &[command, on] : enabled) {
        if (QAction *action = m_actions.value(command))
            action->setEnabled(on);
    }
}

QString MainWindow::commandText(int command) const
{
    const QAction *action = m_actions.value(command);
    if (!action)
        return QString();
    QString text = action->text().section(QLatin1Char('\t'), 0, 0).trimmed();
    text.remove(QLatin1Char('&'));
    return text;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        const QPoint screen = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        m_content.onMouseMove(screen, m_canvas->mapFromGlobal(screen));
    } else if (event->type() == QEvent::MouseButtonPress) {
        m_content.onMouseClick();
    }
    if (event->type() == QEvent::KeyPress) {
        // The fields and the slider pass every key to the program's key map first.
        auto *key = static_cast<QKeyEvent *>(event);
        if (m_content.translateAccelerator(key) || m_content.fieldKeyPress(watched, key))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if ((event->modifiers() & Qt::AltModifier)
        && (event->key() == Qt::Key_Slash || event->key() == Qt::Key_Question)) {
        m_content.onCommand(Command::About);
        return;
    }
    if (!m_content.translateAccelerator(event))
        QMainWindow::keyPressEvent(event);
}

bool MainWindow::focusNextPrevChild(bool next)
{
    m_content.moveFocus(!next);
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_content.onExit())
        event->accept();
    else
        event->ignore();
}

} // namespace orva
