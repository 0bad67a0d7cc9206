// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

namespace orva {

class Clock;
class MessageBoxes;
class ORVA_Date;
class ORVA_Experiment;
class ORVA_Wave;
class RunController;
struct StartupData;

/// The instruction, the hearing check and the set-up wizard's test tone: the one audio-out wave
/// they play through, the program state OtherAudio or TestAudio while they last, and the end of it.
/// Owned by the main window's dialog commands; UI thread only. Times are on the injected Clock.
class AudioOutPlayback
{
public:
    /// The main window's timer that ends the hearing check.
    static constexpr int kHearingCheckTimer = 1154;
    /// From this age on (whole years at the run date) the adult instruction is played.
    static constexpr int kAdultAge = 15;

    /// What the playback needs from the window around it.
    class View
    {
    public:
        virtual ~View() = default;
        /// The comment field's text into the run's comment.
        virtual void storeComment() = 0;
        /// Menus, child windows and the status line after the program state changed.
        virtual void stateChanged() = 0;
        /// The menus' enabling after the playback ended.
        virtual void menuSettings() = 0;
        virtual void setTimer(int id, int ms) = 0;
        virtual void stopTimer(int id) = 0;
        /// The modal notice dialog with resource string `textId`.
        virtual void showNotice(int textId) = 0;
        /// Opens the modeless instruction dialog unless a modeless dialog is open already.
        virtual void openInstructionDialog() = 0;
        /// Ends the modeless dialog, if one is open.
        virtual void closeModelessDialog() = 0;
    };

    /// The installation and its texts from `startup`, the client from `experiment`; all must
    /// outlive the playback.
    AudioOutPlayback(const StartupData &startup,
                     const ORVA_Experiment &experiment,
                     RunController &controller,
                     const Clock &clock,
                     MessageBoxes &boxes,
                     View &view);
    ~AudioOutPlayback();
    AudioOutPlayback(const AudioOutPlayback &) = delete;
    AudioOutPlayback &operator=(const AudioOutPlayback &) = delete;

    /// The instruction (F5): the child's or the adult's recording of the user-interface language,
    /// playing until its dialog is closed. Does nothing during a run or another playback.
    void onStartInstruction();
    /// The hearing check (F9): two notices, then the tone, which ends by itself after playing
    /// once. Does nothing during a run or another playback.
    void onStartAuditionTest();
    /// The end of the instruction or the hearing check: the sound stops at once, the program is
    /// idle again and the modeless dialog goes. Harmless when nothing plays.
    void onAudioEnd();

    /// The audio set-up wizard opens: the program state becomes TestAudio. False, and nothing
    /// changes, during a run or another playback.
    bool onStartAudioSetup();
    /// The wizard's test tone from its start. The tone file is read at the first call after the
    /// wizard opened; a missing or damaged file shows the loader's messages then and sounds
    /// nothing, also at later calls. Does nothing unless the wizard is open.
    void playTestTone();

    /// How much of the recording has played at `nowUs` on the clock: 0 … 1, by milliseconds; 1
    /// for a recording without samples or when nothing was started.
    double progressFraction(qint64 nowUs) const;
    double progressFraction() const;
    /// The wave that plays now, or nullptr.
    const ORVA_Wave *wave() const { return m_wave.get(); }
    qint32 durationMs() const { return m_durationMs; }

    /// Whole years from `birthday` to `runDate`; nothing when either is not a real calendar day
    /// or the birthday lies after the run date.
    static std::optional<int> ageInYears(const ORVA_Date &birthday, const ORVA_Date &runDate);
    /// The adult recording for a client of at least kAdultAge years; the child's for a younger
    /// client and for one whose age cannot be told.
    static bool hearsAdultInstruction(const ORVA_Date &birthday, const ORVA_Date &runDate);
    /// "<base>/media/<language code>/child_in.wav" or ".../adult_in.wav".
    static QString instructionPath(const QString &baseDirectory, int language, bool adult);
    static QString hearingCheckPath(const QString &baseDirectory);
    /// "<base>/media/500Hz.wav".
    static QString testTonePath(const QString &baseDirectory);

private:
    /// Loads `path` into a new audio-out wave and plays it once; on failure reports `missingText`
    /// after the loader's own messages, drops the wave and returns the program to idle.
    bool startPlaying(const QString &path, int missingText);
    bool mayStart(const char *refusal) const;

    const StartupData &m_startup;
    const ORVA_Experiment &m_experiment;
    RunController &m_controller;
    const Clock &m_clock;
    MessageBoxes &m_boxes;
    View &m_view;
    std::unique_ptr<ORVA_Wave> m_wave;
    qint64 m_startUs = 0;
    qint32 m_durationMs = 0;
};

} // namespace orva
