// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace orva {

/// Turns the signals with which the desktop ends a program (SIGTERM at log-out or shutdown,
/// SIGHUP when its terminal goes, SIGINT from Ctrl+C) into a call on the UI thread, so that the
/// program can keep what it holds before it quits. The signal handler only writes a byte to a
/// socket; everything else happens in the event loop. One object per process, made on the UI
/// thread; its destructor restores the default handlers.
class TerminationSignals final : public QObject
{
    Q_OBJECT

public:
    /// `onSignal` gets the signal number; it is called at most once, however many signals come.
    explicit TerminationSignals(std::function<void(int)> onSignal, QObject *parent = nullptr);
    ~TerminationSignals() override;

    /// False when the handlers could not be installed (the program then ends as it always did).
    bool isActive() const { return m_notifier != nullptr; }

private:
    void readSignal();

    std::function<void(int)> m_onSignal;
    QSocketNotifier *m_notifier = nullptr; ///< child of this object
    bool m_delivered = false;
};

} // namespace orva
