// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace orva {

class DialogRunner;
class LatencySelfTest;
class MessageBoxes;
class StringTable;

/// The latency self-test's window: what to do, "Messen" with a progress bar while the clicks
/// play, the result in words, and "Übernehmen" to keep it for the devices in use. The logic is
/// the test's; the window only shows it. UI thread only.
class LatencyTestDialog final : public QDialog
{
public:
    LatencyTestDialog(LatencySelfTest &test,
                      const StringTable &strings,
                      MessageBoxes &boxes,
                      QWidget *owner = nullptr);
    ~LatencyTestDialog() override;

    void run(DialogRunner &runner);
    /// The buttons, as the operator presses them (tests press them too).
    void measure();
    void keep();
    QString resultText() const;
    bool canKeep() const;
    bool isMeasuring() const { return m_tick.isActive(); }

private:
    void tick();
    void done();

    LatencySelfTest &m_test;
    const StringTable &m_strings;
    MessageBoxes &m_boxes;
    QLabel *m_result = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_measure = nullptr;
    QPushButton *m_keep = nullptr;
    QTimer m_tick;
    QElapsedTimer m_elapsed;
};

} // namespace orva
