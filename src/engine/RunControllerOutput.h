// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFlags>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace orva {

class ORVA_Wave;

/// Timers the run controller sets on the main window, by id. A timer repeats until stopped, and
/// setting it again replaces the running one.
enum TimerId : int {
    WaitTimer = 1018,
    HighLightTimer = 1025,
    TimeDiffTimer = 1026,
    NoiseFadeTimer = 1155,
};

/// The three run buttons, by command number.
enum class RunButton : int {
    Wrong = 1019,
    Reject = 1020,
    Abort = 1021,
};

/// Panels of the main window that a step may need repainted.
enum class Panel : int {
    Syllable = 0x01,
    Result = 0x02,
    Time = 0x04,
    Status = 0x08,
    Chart = 0x10,
    MainWindow = 0x20,
};
Q_DECLARE_FLAGS(Panels, Panel)
Q_DECLARE_OPERATORS_FOR_FLAGS(Panels)

/// What the run controller asks of the world around it. The main window implements it; tests
/// record the calls. Every call comes on the UI thread.
class RunControllerOutput
{
public:
    virtual ~RunControllerOutput() = default;

    /// Plays `wave` once at its own volume. Returns when its first frame leaves the output, on
    /// the program clock (µs), or nothing when that is not known (no device).
    virtual std::optional<qint64> play(ORVA_Wave &wave) = 0;
    /// Plays `wave` once so that its first frame leaves the output at `startUs` on the program
    /// clock (or as soon after as the output allows). Returns when it leaves, or nothing when
    /// that is not known. Without an output that can place a sound, it plays at once.
    virtual std::optional<qint64> playAt(ORVA_Wave &wave, qint64 startUs)
    {
        (void)startUs;
        return play(wave);
    }
    virtual void setTimer(int id, int ms) = 0;
    virtual void stopTimer(int id) = 0;
    virtual void enableButton(RunButton button, bool enabled) = 0;
    virtual void focusMainWindow() = 0;
    virtual void repaint(Panels panels) = 0;

    /// Result tool tips of the chart (one per measured bar) and the paint order of the syllables.
    virtual void removeResultToolTips() = 0;
    virtual void addResultToolTip(int measurement) = 0;
    virtual void computePaintOrder() = 0;

    /// Enabling rules of the window and the menu, and the layout of the main window.
    virtual void windowSettings() = 0;
    virtual void menuSettings() = 0;
    virtual void layoutMainWindow() = 0;
    /// A run starts: the report view is switched off and the short guide is no longer shown.
    virtual void leaveReportViewAndGuide() = 0;
    /// Whether the training report is shown in place of the main view, and the way back.
    virtual bool isTrainingReportShown() const = 0;
    virtual void showMainView() = 0;
    /// The wait timer fired while nothing runs: the first-run help of the start-up.
    virtual void showFirstRunHelp() = 0;

    /// File > Save of the finished run, with its messages; false when nothing was saved.
    virtual bool saveRun() = 0;

    /// Why a run cannot be measured now, for a person (no output, a microphone that does not
    /// deliver); empty when the sound works. May try to start a device that is not running.
    virtual QString soundProblem() { return QString(); }

    /// Whether the clock models of the sound devices have settled, so that a sound is timed like
    /// every other; a run waits for it before its first syllable.
    virtual bool isSoundSettled() const { return true; }

    /// Whether the program is listening right now: the output plays and the microphone delivers.
    /// A syllable that ends without an answer while it is not is no answer of the client.
    virtual bool isListening() const { return true; }
    /// The controller added `note` to the end of the run's comment (on its own line); the
    /// comment field shows it from now on.
    virtual void commentAppended(const QString &note) { (void)note; }

    /// Underruns, overflows, stalls, lost connections and changed devices of the sound devices
    /// so far, a count that only grows.
    virtual qint64 audioGlitchCount() const { return 0; }
};

} // namespace orva
