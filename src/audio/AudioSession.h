// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioInput.h"
#include "audio/AudioOutput.h"
#include "audio/DeviceResult.h"

#include <QMutex>

#include <atomic>
#include <functional>
#include <memory>

namespace orva {

class Clock;
class MessageBoxes;
class SoftwareMixer;

/// The sound of one program session: the mixer every player feeds, the output device that plays
/// it and the input device the capture reads, with the program clock they are timed on.
///
/// `src/app` builds one at start-up with the configured devices and installs it with
/// setCurrent(); the players (CDirectSound, constructed inside every ORVA_Wave without arguments)
/// and the capture find it there. Tests install their own with fakes. Without an installed
/// session nothing plays and nothing is captured. Devices are set and started on the UI thread.
class AudioSession
{
public:
    /// `clock` (not owned) must outlive the session.
    explicit AudioSession(const Clock &clock);
    ~AudioSession();
    AudioSession(const AudioSession &) = delete;
    AudioSession &operator=(const AudioSession &) = delete;

    /// The installed session, or nullptr. setCurrent() returns the previous one; a session
    /// uninstalls itself when destroyed.
    static AudioSession *current();
    static AudioSession *setCurrent(AudioSession *session);

    /// Replaces the output (stopping the previous one); nullptr: no output at all.
    void setOutput(std::unique_ptr<AudioOutput> output);
    /// Replaces the input (stopping the previous one); nullptr: no capture device.
    void setInput(std::unique_ptr<AudioInput> input);
    AudioOutput *output() const { return m_output.get(); }
    AudioInput *input() const { return m_input.get(); }
    const std::shared_ptr<SoftwareMixer> &mixer() const { return m_mixer; }
    const Clock &clock() const { return m_clock; }

    /// Starts the output on the mixer unless it runs already. With no output: DSERR_NODRIVER.
    DeviceResult startOutput();
    /// Whether the clock models of both devices have settled (a missing device does not count):
    /// until then the first sound of a run would be timed on a model that may still move.
    bool areClocksSettled() const;
    /// Whether both devices are there, running and being served right now, so that a syllable
    /// plays and an answer would be heard.
    bool isListening() const;
    /// Stops both devices; the mixer keeps its voices.
    void stopDevices();

    /// Underflows and overflows of the output and input streams and of the capture buffers so
    /// far: a count that only grows. Any thread.
    qint64 glitchCount() const;
    /// Adds lost capture audio noticed outside the devices (all capture buffers were full).
    void countCaptureOverflow() { m_captureOverflows.fetch_add(1); }

    /// How the player waits between two attempts to open the output (default: sleeps). Tests
    /// record the waits instead.
    void setRetryWait(std::function<void(int ms)> wait);
    void waitBeforeRetry(int ms) const;
    /// Where the player's own boxes ("Fehler bei Create DirectSoundPuffer 00") go; not owned,
    /// nullptr: none shown.
    void setMessageBoxes(MessageBoxes *boxes) { m_boxes = boxes; }
    /// Set when every attempt to open the output failed, so that later players try once more
    /// without waiting instead of holding the program up again; cleared when it opens.
    bool hasOutputGivenUp() const { return m_outputGivenUp; }
    void setOutputGivenUp(bool givenUp) { m_outputGivenUp = givenUp; }
    MessageBoxes *messageBoxes() const { return m_boxes; }

private:
    const Clock &m_clock;
    std::shared_ptr<SoftwareMixer> m_mixer;
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<AudioInput> m_input;
    std::function<void(int ms)> m_retryWait;
    MessageBoxes *m_boxes = nullptr;
    bool m_outputGivenUp = false;
    std::atomic<qint64> m_captureOverflows { 0 };
    // Glitches of devices that were replaced, so the count never goes back.
    std::atomic<qint64> m_retiredGlitches { 0 };
};

} // namespace orva
