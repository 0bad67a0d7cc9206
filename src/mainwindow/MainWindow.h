// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

#include <map>

namespace orva {

class MainWindowContent;
class StringTable;

/// The main window: only the host that forwards its events to MainWindowContent (menu commands
/// by number, keys, timers, mouse, paint, resize and close). The child windows live on its
/// canvas, the client area below the menu bar.
class MainWindow final : public QMainWindow
{
public:
    static constexpr int kMinimumWidth = 790;
    static constexpr int kMinimumHeight = 550;

    MainWindow(MainWindowContent &content, const StringTable &strings);

    QWidget *canvas() const { return m_canvas; }
    /// Greys the menu items that `enabled` marks false.
    void enableMenuItems(const std::map<int, bool> &enabled);
    /// The menu text of `command` without access key and key hint.
    QString commandText(int command) const;
    /// The menu item of `command`, for tests.
    QAction *menuAction(int command) const { return m_actions.value(command); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    /// Tab from anywhere without a field of its own (the canvas) follows the program's order.
    bool focusNextPrevChild(bool next) override;

private:
    void buildMenu(const StringTable &strings);

    MainWindowContent &m_content;
    QWidget *m_canvas = nullptr;
    QHash<int, QAction *> m_actions;
};

} // namespace orva
