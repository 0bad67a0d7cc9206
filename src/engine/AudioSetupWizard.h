// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

namespace orva {

/// The steps of the audio set-up wizard: which text, buttons and mixer each step has, and the
/// order of going through them. One object lives while the wizard's dialog is open; the dialog
/// forwards its buttons here and shows what `Output::stepShown` hands it. UI thread only.
class AudioSetupWizard
{
public:
    /// The system mixer a step opens beside the wizard.
    enum class Mixer {
        None,
        Playback,
        Recording,
    };

    /// What one step shows. Texts are resource strings; the wizard's own dialog hides the
    /// buttons that are false here.
    struct Step
    {
        int textId = 0;
        bool back = true;
        bool next = true;
        bool play = false;
        bool ok = false;
        bool cancel = true;
        Mixer mixer = Mixer::None;
        bool picture = false; ///< the sound card's back plate below the text
        bool latencyTest = false; ///< the button that opens the latency self-test
    };

    /// What the wizard needs from the program around it.
    class Output
    {
    public:
        virtual ~Output() = default;
        /// Starts `mixer` (never Mixer::None); false when it could not be started, which the
        /// wizard accepts silently.
        virtual bool startMixer(Mixer mixer) = 0;
        /// Ends `mixer` if it runs.
        virtual void endMixer(Mixer mixer) = 0;
        /// Plays the test tone from its start.
        virtual void playTestTone() = 0;
        /// The dialog is to show `step` (index `index`).
        virtual void stepShown(int index, const Step &step) = 0;
    };

    /// The wizard's steps in order; the first is the introduction, the last the end.
    static const QList<Step> &steps();
    static int lastStep() { return int(steps().size()) - 1; }

    /// `output` must outlive the wizard.
    explicit AudioSetupWizard(Output &output);
    /// Ends the mixer it started: the program may close the wizard without finish().
    ~AudioSetupWizard();
    AudioSetupWizard(const AudioSetupWizard &) = delete;
    AudioSetupWizard &operator=(const AudioSetupWizard &) = delete;

    /// Shows the first step. Buttons before start() and after the end do nothing.
    void start();
    void next();
    void back();
    /// Plays the tone again from its start and restarts the playback mixer.
    void play();
    /// OK, Abbrechen, Escape or the window's close button: the mixer goes. True only for the
    /// first call, whose caller then tells the program that the wizard's sound has ended; the
    /// program may delete the wizard at once after that.
    [[nodiscard]] bool finish();

    int step() const { return m_step; }
    /// The mixer the wizard started and has not ended.
    Mixer mixer() const { return m_mixer; }
    bool hasEnded() const { return m_ended; }

private:
    void showStep();
    /// Ends the open mixer, then starts `mixer` (even when it is the same one).
    void restartMixer(Mixer mixer);
    void endMixer();

    Output &m_output;
    int m_step = 0;
    Mixer m_mixer = Mixer::None;
    bool m_started = false;
    bool m_ended = false;
};

} // namespace orva
