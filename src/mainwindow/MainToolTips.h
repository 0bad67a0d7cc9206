// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/CToolTip.h"

#include <QPointer>

#include <memory>
#include <vector>

class QFont;
class QLabel;
class QWidget;

namespace orva {

class StringTable;
class TimerService;

/// The main window's tool tip: the areas of its child windows and of the chart's bars, and the
/// box that shows their texts. The rules are CToolTip's. UI thread only.
class MainToolTips final : private CToolTip::Host
{
public:
    /// `owner` is the main window's canvas; the box uses `font`.
    MainToolTips(const StringTable &strings, TimerService &timers, const QFont &font);
    ~MainToolTips() override;

    void setOwner(QWidget *owner);
    /// An area over each window with its text. The window's mouse moves must reach mouseMove():
    /// `watcher` sees them.
    void addWindows(const std::vector<std::pair<QWidget *, int>> &windows, QObject *watcher);
    /// The areas follow their windows after a layout.
    void followWindows();
    void setText(QWidget *window, int text);
    /// The result of a chart bar, at `rect` of the owner.
    void addBar(const QRect &rect, const QString &text);
    void removeBars();

    void mouseMove(QPoint screen, QPoint owner) { m_toolTip.mouseMove(screen, owner); }
    void mouseClick() { m_toolTip.mouseClick(); }
    void timer() { m_toolTip.timer(); }
    static constexpr int kTimerId = CToolTip::kTimerId;

private:
    // CToolTip::Host
    void setTimer(int id, int ms) override;
    void stopTimer(int id) override;
    void showBox(const QRect &rect, const QString &text) override;
    void hideBox() override;
    bool isActive() const override;
    QRect ownerRect() const override;
    QRect desktopRect() const override;
    int charHeight() const override;
    int averageCharWidth() const override;

    TimerService &m_timers;
    const QFont &m_font;
    CToolTip m_toolTip;
    QPointer<QWidget> m_owner;
    std::unique_ptr<QLabel> m_box;
};

} // namespace orva
