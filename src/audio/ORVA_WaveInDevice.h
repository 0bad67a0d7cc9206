// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioInput.h"
#include "audio/ORVA_Wave.h"

#include <QMutex>
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace orva {

class Clock;

/// The microphone capture: samples arrive from the input device on its thread and are cut into
/// buffers of 256 samples (512 bytes). Each buffer is scanned there, where it arrives, for the
/// voice onset (the first sample at or above the threshold) and the onset is stamped with the
/// time its sample entered the input; the buffer and its stamped onset are then handed to the UI
/// thread in arrival order, where the onset reaches the onset handler and the buffer is kept in
/// the target wave for the level meter. A measurement therefore never depends on when the UI
/// thread got to it. Lives on the UI thread.
///
/// The only format ever recorded is PCM, 44,100 Hz, 16 bits, mono. Buffers wait for a UI thread
/// that is held up (a modal box, printing) for up to kMaximumWaiting buffers (10 s); beyond that
/// the meter's samples are dropped, but every onset still reaches the UI thread.
class ORVA_WaveInDevice final : public QObject, public CaptureSink
{
public:
    static constexpr int kBufferBytes = 512;
    static constexpr int kBufferSamples = kBufferBytes / 2;
    static constexpr int kBufferCount = 32;
    /// Buffers that may wait for the UI thread: 10 s of audio.
    static constexpr int kMaximumWaiting = 1723;
    /// How often a capture device that went away is tried again.
    static constexpr int kRestartIntervalMs = 2000;
    /// An attempt that takes longer ends the attempts: the UI thread waits for each.
    static constexpr int kRestartMaxWaitMs = 500;

    /// `clock` must outlive the device; it stamps onsets when the input cannot.
    explicit ORVA_WaveInDevice(const Clock &clock, QObject *parent = nullptr);
    ~ORVA_WaveInDevice() override;

    /// `startCapture`: checks the format and starts `input` (not owned, must outlive the
    /// capture). False, with the reason reported, when there is nothing to capture from.
    bool startCapture(AudioInput *input);
    /// `stopCapture`: the device stops and the recording wave is emptied.
    void stopCapture();
    bool isCapturing() const { return m_running; }

    /// Readies `input` (not owned) for `format` without starting it. Already open: true when the
    /// open device takes `format` ("Open for different format" otherwise). Not open: false,
    /// silently, when there is no input or it cannot record `format`.
    bool open(AudioInput *input, const WaveFormat &format);
    /// Whether the open device records `format`; "Not open" when it is not open.
    bool queryFormat(const WaveFormat &format) const;
    /// Starts recording into `target` (not owned, must outlive the recording) in buffers of
    /// `bufferBytes`, opening `input` first when the device is not open yet. Reports "Input
    /// device is already open and doesn't support format" or "No input device supports format"
    /// when the target's format cannot be recorded.
    bool startRecording(AudioInput *input, ORVA_Wave &target, int bufferBytes);
    /// Stops the device and closes it; buffers still on their way are dropped.
    void close();

    /// A capture whose device went away while recording (its sound server quit or restarted) is
    /// started again, at once and then at most every kRestartIntervalMs, so that the microphone
    /// comes back with the server; after an attempt that kept the UI thread waiting longer than
    /// kRestartMaxWaitMs, capture ends. Called on every meter tick; nothing happens while the
    /// device runs, or when capture never started. True while the device runs.
    bool restartLostInput();

    /// Threshold in whole dB relative to full scale (-90 … 0).
    void setThreshold(int dB)
    {
        m_thresholdDb = dB;
        m_trigger = triggerMagnitude(dB);
    }
    int threshold() const { return m_thresholdDb; }
    /// When the newest sample handed to this thread entered the input (program clock, µs):
    /// every onset before it has reached the onset handler. Nothing before the first buffer or
    /// while not capturing.
    std::optional<qint64> heardUntilUs() const;
    /// `WM_AUDIO_INPUT`: called within the buffer handling with the onset's time (µs).
    void setOnsetHandler(std::function<void(qint64 onsetUs)> handler)
    {
        m_onset = std::move(handler);
    }

    /// The level meter's peak (0 … 32768) from the samples since the last call: all of them when
    /// `waitingForAudio` or at most 1024 of them, otherwise the last 1024. The samples are then
    /// dropped; with none the previous peak stays.
    double preparePaintVU_Meter(bool waitingForAudio);
    double peak() const { return m_peak; }
    const ORVA_Wave &recording() const { return *m_target; }

    /// One buffer on the UI thread, scanned here; `firstFrame` is the input frame of its first
    /// sample.
    void onBufferDone(qint64 firstFrame, const QByteArray &bytes);
    /// The onset scan of one buffer: the time the first sample at the threshold entered the
    /// input (by the input's clock model, else the clock now); nothing without such a sample.
    /// Any thread.
    std::optional<qint64> scanForOnset(qint64 firstFrame, const QByteArray &bytes) const;

    /// The smallest sample magnitude whose level 20·log10(|s| / 32767) reaches `thresholdDb`.
    static int triggerMagnitude(int thresholdDb);
    /// The one format the capture records.
    static WaveFormat captureFormat();

    /// Another listener of every captured sample, beside the voice key (the latency self-test);
    /// nullptr: none. Called on the device's thread; it must not block. Any thread.
    void setTap(CaptureSink *tap);

    // CaptureSink, on the device's thread
    void samplesCaptured(qint64 firstFrame, const qint16 *samples, qint64 count) override;

private:
    const Clock &m_clock;
    AudioInput *m_input = nullptr;
    bool m_open = false;
    bool m_running = false;
    ORVA_Wave m_recording;
    ORVA_Wave *m_target = &m_recording;
    int m_bufferBytes = kBufferBytes;
    /// A buffer scanned where it arrived, on the UI thread.
    void deliver(const QByteArray &bytes, std::optional<qint64> onsetUs);

    std::function<void(qint64)> m_onset;
    std::atomic<int> m_thresholdDb { -40 };
    std::atomic<int> m_trigger { 328 }; // triggerMagnitude(m_thresholdDb)
    double m_peak = 0;
    // The input frame after the newest buffer handed to this thread.
    std::optional<qint64> m_heardUntilFrame;
    // Since the device was found gone: when it was last tried; nothing while it runs.
    std::optional<qint64> m_lastRestartUs;
    // Device thread only: the buffer being filled.
    QByteArray m_pending;
    qint64 m_pendingFirstFrame = 0;
    bool m_dropping = false;
    QMutex m_tapLock;
    CaptureSink *m_tap = nullptr;
    // Buffers handed to the UI thread and not handled yet.
    std::atomic<int> m_outstanding { 0 };
};

} // namespace orva
