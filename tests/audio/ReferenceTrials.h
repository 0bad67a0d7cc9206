// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PulseServer.h"
#include "WavBytes.h"
#include "audio/AudioSession.h"
#include "audio/ORVA_Wave.h"
#include "audio/ORVA_WaveInDevice.h"
#include "audio/backends/pulse/PulseAudio.h"
#include "support/Clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

namespace orva::test {

/// A recording of one sound server device by `parec`, a program that shares no code with ours:
/// raw 16-bit samples at the device's own rate, written to a file until stop().
class ParecRecording
{
public:
    ParecRecording(const QString &device, int rate, int channels, QString file)
        : m_file(std::move(file))
        , m_channels(channels)
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("parec"));
        if (program.isEmpty())
            return;
        m_process.setStandardOutputFile(m_file);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.start(program,
                        { QStringLiteral("--device=%1").arg(device), QStringLiteral("--raw"),
                          QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(rate),
                          QStringLiteral("--channels=%1").arg(channels),
                          QStringLiteral("--latency-msec=20") });
        m_started = m_process.waitForStarted(5000);
        m_startedUs = SteadyClock().nowUs();
        // How far the file has grown, now and then: its growth over the program clock is the
        // device's rate, free of parec's own start and stop.
        m_sizeWatch.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_sizeWatch, &QTimer::timeout, [this] {
            m_sizes.push_back({ SteadyClock().nowUs(), QFileInfo(m_file).size() });
        });
        m_sizeWatch.start(100);
    }
    ~ParecRecording() { stop(); }

    bool isRunning() const { return m_started && m_process.state() == QProcess::Running; }
    /// When parec was started, on the program clock (µs): its first sample came a little later.
    qint64 startedUs() const { return m_startedUs; }
    /// Asks parec to end (by its process id); stop() waits for it.
    void terminate()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_stoppedUs = SteadyClock().nowUs();
        m_sizeWatch.stop();
        m_process.terminate();
    }
    /// How many frames a second the device delivered on the program clock: a straight line
    /// through the file's size over time, the first seconds left out. (The frames over the time
    /// from start to stop are off by parec's connecting and ending, tens of ms, which over five
    /// minutes made a drift of 3 ms a minute that was not there.)
    double framesPerSecond() const
    {
        std::vector<std::pair<double, double>> points; // (s, frames)
        for (const auto &[us, bytes] : m_sizes) {
            if (us - m_startedUs >= 5'000'000 && bytes > 0)
                points.push_back({ us / 1e6, double(bytes / (2 * m_channels)) });
        }
        if (points.size() < 100) {
            const qint64 frames = QFileInfo(m_file).size() / (2 * m_channels);
            return m_stoppedUs > m_startedUs ? frames * 1e6 / double(m_stoppedUs - m_startedUs) : 0;
        }
        double mt = 0, mf = 0;
        for (const auto &[t, f] : points) {
            mt += t / points.size();
            mf += f / points.size();
        }
        double sxy = 0, sxx = 0;
        for (const auto &[t, f] : points) {
            sxy += (t - mt) * (f - mf);
            sxx += (t - mt) * (t - mt);
        }
        return sxx > 0 ? sxy / sxx : 0;
    }
    /// Ends parec by its process id; it writes what it has and quits.
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }
    /// The samples of `channel` (0 left).
    std::vector<qint16> channel(int channel) const
    {
        QFile file(m_file);
        std::vector<qint16> samples;
        if (!file.open(QIODevice::ReadOnly))
            return samples;
        const QByteArray bytes = file.readAll();
        const qint64 frames = bytes.size() / (2 * m_channels);
        samples.resize(static_cast<size_t>(frames));
        for (qint64 f = 0; f < frames; ++f) {
            const char *p = bytes.constData() + (f * m_channels + channel) * 2;
            samples[f] = static_cast<qint16>(quint8(p[0]) | (quint8(p[1]) << 8));
        }
        return samples;
    }

private:
    QProcess m_process;
    QString m_file;
    int m_channels = 1;
    bool m_started = false;
    qint64 m_startedUs = 0;
    qint64 m_stoppedUs = 0;
    QTimer m_sizeWatch;
    std::vector<std::pair<qint64, qint64>> m_sizes; ///< (program clock µs, file bytes)
};

/// The sample indices where a sound begins: the first sample whose magnitude reaches `magnitude`
/// after at least `quietFrames` below it.
inline std::vector<qint64>
soundOnsets(const std::vector<qint16> &samples, int magnitude, qint64 quietFrames)
{
    std::vector<qint64> onsets;
    qint64 quiet = quietFrames;
    for (qint64 i = 0; i < qint64(samples.size()); ++i) {
        if (std::abs(int(samples[i])) >= magnitude) {
            if (quiet >= quietFrames)
                onsets.push_back(i);
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return onsets;
}

/// What one session of trials measured beside what the recordings say, in ms. Index i is the
/// i-th sound; every list has one entry per sound that was both measured and recorded.
struct ReferenceResult
{
    QString error; ///< why nothing could be measured; empty when the trials ran
    int missed = 0; ///< sounds without an answer from the program
    int flagged = 0; ///< measurements flagged for a glitch, left out of the lists below
    /// The sounds flagged: their measurement was touched by a fault the program noticed.
    std::vector<int> flaggedSounds;
    /// Sounds without an answer that were flagged too (a fault, not the listener).
    int missedAndFlagged = 0;
    qint64 glitches = 0;
    std::vector<double> trialMinutes; ///< when each sound started, from the first
    /// Reaction time by the program less the sound's own onset, and the truth beside it. Only
    /// one-clock set-ups know the truth absolutely; with two devices it is known up to a constant
    /// (two recordings that started at different moments), and `truthKnown` is false.
    std::vector<double> measured;
    std::vector<double> truth;
    bool truthKnown = false;
    /// The time between one sound's start and the next by the program, less that between their
    /// onsets in the headphones' recording: how exactly each sound's start time is known.
    std::vector<double> startIntervalErrors;
    /// The same for the answers: the program's onset times against the microphone's recording.
    std::vector<double> answerIntervalErrors;
    /// When each sound left against when it was asked to leave: the interval between two sounds'
    /// scheduled times less that between their onsets in the headphones' recording (one entry
    /// per sound after the first), and the same from the first sound (one entry per sound,
    /// showing a drift over the session).
    std::vector<double> scheduleErrors;
    std::vector<double> scheduleErrorsFromFirst;
    /// The headphones' frames per second of the program clock, by parec's recording of them.
    double headphonesRate = 0;
    /// Frames in the two recordings of a two-device set-up (started and stopped together).
    std::pair<qint64, qint64> recordedFrames;
    /// Their frames per second of the program clock, start and stop of parec included.
    std::pair<double, double> recordedRates;

    /// The drift of the reaction times (ms a minute) that the devices' rates make real: with two
    /// devices a listener that never corrects itself shortens or lengthens its delay by their
    /// difference, which the recordings, read at their nominal rates, do not show. Measured from
    /// the recordings' frame counts over the program clock, within a few ms over the session.
    double expectedDriftPerMinute() const
    {
        if (truthKnown || recordedRates.first <= 0 || recordedRates.second <= 0)
            return 0;
        const double nominalVoice = recordedRates.second > 46000 ? 48000 : 44100;
        return -(recordedRates.second / nominalVoice - recordedRates.first / 44100) * 60'000;
    }

    /// What is left of the errors after a straight line through them: jumps, wander, a first
    /// sound timed differently from the rest.
    std::vector<double> residuals() const
    {
        const std::vector<double> e = errors();
        double mt = 0, me = 0;
        for (size_t i = 0; i < e.size(); ++i) {
            mt += trialMinutes[i] / e.size();
            me += e[i] / e.size();
        }
        double sxy = 0, sxx = 0;
        for (size_t i = 0; i < e.size(); ++i) {
            sxy += (trialMinutes[i] - mt) * (e[i] - me);
            sxx += (trialMinutes[i] - mt) * (trialMinutes[i] - mt);
        }
        const double slope = sxx > 0 ? sxy / sxx : 0;
        std::vector<double> r;
        for (size_t i = 0; i < e.size(); ++i)
            r.push_back(e[i] - me - slope * (trialMinutes[i] - mt));
        return r;
    }

    /// Error of each reaction time against the truth (up to the constant when it is not known,
    /// the constant then taken as the mean).
    std::vector<double> errors() const
    {
        std::vector<double> e;
        for (size_t i = 0; i < measured.size(); ++i)
            e.push_back(measured[i] - truth[i]);
        if (!truthKnown && !e.empty()) {
            double mean = 0;
            for (double v : e)
                mean += v / e.size();
            for (double &v : e)
                v -= mean;
        }
        return e;
    }
};

struct Figures
{
    double mean = 0;
    double sd = 0;
    double worst = 0; ///< largest magnitude
    double driftPerMinute = 0; ///< slope of a straight line through the values over time
};

inline Figures figuresOf(const std::vector<double> &values, const std::vector<double> &minutes = {})
{
    Figures f;
    if (values.empty())
        return f;
    for (double v : values)
        f.mean += v / values.size();
    for (double v : values) {
        f.sd += (v - f.mean) * (v - f.mean) / std::max<size_t>(1, values.size() - 1);
        f.worst = std::max(f.worst, std::abs(v));
    }
    f.sd = std::sqrt(f.sd);
    if (minutes.size() == values.size() && values.size() > 1) {
        double mt = 0;
        for (double t : minutes)
            mt += t / minutes.size();
        double sxy = 0, sxx = 0;
        for (size_t i = 0; i < values.size(); ++i) {
            sxy += (minutes[i] - mt) * (values[i] - f.mean);
            sxx += (minutes[i] - mt) * (minutes[i] - mt);
        }
        f.driftPerMinute = sxx > 0 ? sxy / sxx : 0;
    }
    return f;
}

/// The program's devices of a trial: an output on the headphones and an input on the
/// microphone, by their device names.
struct TrialDevices
{
    std::function<std::unique_ptr<AudioOutput>(const Clock &, const QString &)> output;
    std::function<std::unique_ptr<AudioInput>(const Clock &, const QString &)> input;

    static TrialDevices pulse()
    {
        return { [](const Clock &clock, const QString &name) -> std::unique_ptr<AudioOutput> {
                    return std::make_unique<PulseAudioOutput>(clock, name);
                },
                 [](const Clock &clock, const QString &name) -> std::unique_ptr<AudioInput> {
                     return std::make_unique<PulseAudioInput>(clock, name);
                 } };
    }
};

/// The set-up of a server for runReferenceTrialsOn(): whether headphones and microphone share
/// one device clock (`room`), and the devices' rates.
struct TrialLayout
{
    bool oneClock = true;
    int earsRate = 44100;
    int voiceRate = 44100;
    /// The microphone listens to the headphones themselves (their monitor): the truth is 0.
    bool identity = false;
};

template<typename Server>
ReferenceResult runReferenceTrialsOn(Server &server,
                                     TrialLayout layout,
                                     const TrialDevices &devices,
                                     int seconds,
                                     int periodMs = 1100,
                                     int leadMs = 150,
                                     int faultSound = -1,
                                     int faultAfterMs = 150,
                                     const std::function<void(Server &)> &fault = {});

/// Sounds played through the program's output on a server of the given layout and answered by
/// its listener `listenerMs` late, timed by the program's capture, for `seconds`; beside them,
/// `parec` records the devices. A sound is scheduled to leave every `periodMs` and handed to the
/// output `leadMs` before its time, as the run controller does. `fault`, when given, is called
/// `faultAfterMs` after sound number `faultSound` (from 0) left, in its answer window.
inline ReferenceResult runReferenceTrials(PulseServer::Layout layout,
                                          int seconds,
                                          int listenerMs = 300,
                                          int periodMs = 1100,
                                          int leadMs = 150,
                                          int faultSound = -1,
                                          int faultAfterMs = 150,
                                          const std::function<void(PulseServer &)> &fault = {})
{
    PulseServer server(layout, listenerMs);
    if (!server.isRunning()) {
        ReferenceResult result;
        result.error = server.error();
        return result;
    }
    TrialLayout trial;
    trial.oneClock =
        layout == PulseServer::Layout::OneClock || layout == PulseServer::Layout::OneClock48k;
    trial.voiceRate =
        layout == PulseServer::Layout::Voice48k || layout == PulseServer::Layout::OneClock48k
        ? 48000
        : 44100;
    trial.earsRate = layout == PulseServer::Layout::OneClock48k ? 48000 : 44100;
    return runReferenceTrialsOn<PulseServer>(server, trial, TrialDevices::pulse(), seconds,
                                             periodMs, leadMs, faultSound, faultAfterMs, fault);
}

/// The trials of runReferenceTrials() on a server already set up as `layout` says, with the
/// program's devices made by `devices`.
template<typename Server>
ReferenceResult runReferenceTrialsOn(Server &server,
                                     TrialLayout layout,
                                     const TrialDevices &devices,
                                     int seconds,
                                     int periodMs,
                                     int leadMs,
                                     int faultSound,
                                     int faultAfterMs,
                                     const std::function<void(Server &)> &fault)
{
    ReferenceResult result;
    const bool oneClock = layout.oneClock;
    const int voiceRate = layout.voiceRate;
    const int earsRate = layout.earsRate;
    std::unique_ptr<ParecRecording> room, ears, voice;
    if (oneClock) {
        room = std::make_unique<ParecRecording>(QStringLiteral("room.monitor"), earsRate, 2,
                                                server.filePath(QStringLiteral("room.raw")));
    } else {
        ears = std::make_unique<ParecRecording>(QStringLiteral("headphones.monitor"), 44100, 2,
                                                server.filePath(QStringLiteral("ears.raw")));
        voice = std::make_unique<ParecRecording>(QStringLiteral("voice.monitor"), voiceRate, 1,
                                                 server.filePath(QStringLiteral("voice.raw")));
    }
    if ((room && !room->isRunning()) || (ears && (!ears->isRunning() || !voice->isRunning()))) {
        result.error = QStringLiteral("parec did not start");
        return result;
    }

    SteadyClock clock;
    AudioSession session(clock);
    session.setOutput(devices.output(clock, QStringLiteral("headphones")));
    AudioSession *previous = AudioSession::setCurrent(&session);
    const std::unique_ptr<AudioInput> inputDevice = devices.input(
        clock,
        layout.identity ? QStringLiteral("headphones.monitor") : QStringLiteral("voice.monitor"));
    AudioInput &input = *inputDevice;
    ORVA_WaveInDevice capture(clock);
    std::optional<qint64> onsetUs;
    capture.setOnsetHandler([&](qint64 us) {
        if (!onsetUs)
            onsetUs = us;
    });
    if (!session.startOutput().isOk() || !capture.startCapture(&input)) {
        AudioSession::setCurrent(previous);
        result.error = QStringLiteral("the program's devices did not start");
        return result;
    }
    QTest::qWait(3000); // both streams run and their clock models settle

    // A tone of 100 ms after 10 ms of silence; its onset (the first sample at the threshold) is
    // its second tone sample.
    const int lead = 441;
    QList<qint16> samples(lead, 0);
    for (int i = 0; i < 4410; ++i)
        samples.append(qint16(20000 * std::sin(2 * M_PI * 440 * i / 44100.0)));
    const int trigger = ORVA_WaveInDevice::triggerMagnitude(capture.threshold());
    int ownOnset = 0;
    while (std::abs(samples[ownOnset]) < trigger)
        ++ownOnset;

    ORVA_Wave wave;
    (void)wave.setFormat(44100, 16);
    wave.appendBlock(WavBytes::samples16(samples));
    std::vector<qint64> starts, answers, dues;
    std::vector<bool> flagged;
    const qint64 glitchesBefore = session.glitchCount();
    const qint64 endUs = clock.nowUs() + qint64(seconds) * 1'000'000;
    qint64 dueUs = clock.nowUs() + qint64(leadMs) * 1000;
    while (dueUs < endUs) {
        onsetUs.reset();
        const qint64 glitchesAtStart = session.glitchCount() + input.overflowCount();
        const qint64 askedUs = clock.nowUs();
        // A sound placed by a clock model that has not settled again after a fault is placed
        // and timed on a line that may still move: touched by that fault.
        const bool settledAtStart = session.output()->isClockSettled() && input.isClockSettled();
        wave.playAt(dueUs);
        const std::optional<qint64> startUs = wave.playStartUs();
        bool faulted = false;
        while (!onsetUs && clock.nowUs() < dueUs + qint64(periodMs - leadMs - 100) * 1000) {
            if (fault && !faulted && int(dues.size()) == faultSound
                && clock.nowUs() >= dueUs + qint64(faultAfterMs) * 1000) {
                faulted = true;
                fault(server);
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        // An answer stamped in time may still wait in the queue when a busy machine held this
        // thread up past the end of the window; the run controller goes by the stamp as well.
        const qint64 windowEndUs = dueUs + qint64(periodMs - leadMs - 100) * 1000;
        if (!onsetUs) {
            QCoreApplication::sendPostedEvents();
            if (onsetUs && *onsetUs >= windowEndUs)
                onsetUs.reset();
        }
        // As the run controller does: a measurement that spans an underrun, an overflow, a
        // stall, a lost device or a re-anchored clock is flagged, and so are one taken while a
        // clock model settles again and a window that ends without an answer while the program
        // does not listen.
        const bool listening = session.output()->isRunning() && !session.output()->isStalled()
            && input.isRunning() && !input.isStalled();
        const bool settled = session.output()->isClockSettled() && input.isClockSettled();
        flagged.push_back(session.glitchCount() + input.overflowCount() != glitchesAtStart
                          || !settledAtStart || !settled || (!onsetUs && !listening));
        if (flagged.back())
            result.flaggedSounds.push_back(int(dues.size()));
        if (!onsetUs && flagged.back())
            ++result.missedAndFlagged;
        starts.push_back(startUs.value_or(-1));
        answers.push_back(onsetUs.value_or(-1));
        dues.push_back(dueUs);
        if (qEnvironmentVariableIsSet("ORVA_REFERENCE_TRACE"))
            qInfo("sound %d: asked %lld us ahead%s, leaves %lld us after its time, onset %lld",
                  int(dues.size()), static_cast<long long>(dueUs - askedUs),
                  settledAtStart ? "" : " (clocks unsettled)",
                  static_cast<long long>(startUs.value_or(-1) - dueUs),
                  static_cast<long long>(onsetUs.value_or(-1) - startUs.value_or(0)));
        if (!onsetUs || !startUs)
            ++result.missed;
        dueUs += qint64(periodMs) * 1000;
        // The next sound goes to the output a lead before its time.
        for (qint64 restUs; (restUs = dueUs - qint64(leadMs) * 1000 - clock.nowUs()) > 0;)
            QTest::qWait(int(std::max<qint64>(1, restUs / 1000)));
    }
    QTest::qWait(1500); // the last answer reaches the recordings
    result.glitches = session.glitchCount() - glitchesBefore;
    capture.stopCapture();
    session.stopDevices();
    AudioSession::setCurrent(previous);
    if (room) {
        room->stop();
        result.headphonesRate = room->framesPerSecond();
    }
    if (ears) {
        ears->terminate(); // both at once, so that both recordings span the same time
        voice->terminate();
        ears->stop();
        voice->stop();
        result.recordedRates = { ears->framesPerSecond(), voice->framesPerSecond() };
        result.headphonesRate = ears->framesPerSecond();
    }

    // Onsets in the recordings: a sound is 110 ms long and the next comes a period later.
    // A sound that a fault moved may come closer to the next one: a quarter of a second of
    // silence is enough to tell them apart, the sound's own zero crossings are shorter.
    const qint64 quiet = qint64(earsRate) / 4;
    std::vector<qint64> heard, spoken;
    if (room) {
        heard = soundOnsets(room->channel(0), trigger, quiet);
        spoken = layout.identity ? heard : soundOnsets(room->channel(1), trigger, quiet);
    } else if (ears && voice) {
        result.recordedFrames = { qint64(ears->channel(0).size()),
                                  qint64(voice->channel(0).size()) };
        heard = soundOnsets(ears->channel(0), trigger, quiet);
        spoken = soundOnsets(voice->channel(0), trigger, qint64(voiceRate) / 4);
    }
    // The recordings began before the first sound and end after the last. A fault may drop
    // sounds that the program handed to the server (data written while a stream ran dry is
    // skipped): then the sounds before the fault and those after it are matched from either end,
    // and each one in between must be flagged.
    const size_t played = starts.size();
    std::vector<int> recorded(played, -1); // index in the recordings of each sound
    if (heard.size() == played && spoken.size() == played) {
        for (size_t i = 0; i < played; ++i)
            recorded[i] = int(i);
    } else if (faultSound >= 0 && heard.size() == spoken.size() && heard.size() < played
               && heard.size() > size_t(faultSound)) {
        const size_t missing = played - heard.size();
        for (size_t i = 0; i < played; ++i) {
            if (i < size_t(faultSound))
                recorded[i] = int(i);
            else if (i > size_t(faultSound) + missing)
                recorded[i] = int(i - missing);
            else if (!flagged[i])
                result.error = QStringLiteral("sound %1 is not flagged, and the recordings may "
                                              "not hold it")
                                   .arg(i);
        }
    } else {
        result.error = QStringLiteral("the recordings hold %1 and %2 sounds, the program played %3")
                           .arg(heard.size())
                           .arg(spoken.size())
                           .arg(played);
    }
    if (!result.error.isEmpty())
        return result;
    result.truthKnown = oneClock;
    const double firstUs = double(starts.front());
    for (size_t i = 0; i < played; ++i) {
        if (answers[i] < 0 && !flagged[i] && recorded[i] >= 0) {
            const size_t r = size_t(recorded[i]);
            qWarning("sound %d: no answer and no fault, and the recordings hold one %.2f ms after "
                     "it",
                     int(i), spoken[r] * 1000.0 / voiceRate - heard[r] * 1000.0 / earsRate);
        }
        if (starts[i] < 0 || answers[i] < 0 || recorded[i] < 0)
            continue;
        if (flagged[i]) {
            ++result.flagged;
            continue;
        }
        const size_t r = size_t(recorded[i]);
        result.trialMinutes.push_back((starts[i] - firstUs) / 60e6);
        // Over minutes the headphones' own rate counts (a null sink runs a few hundred ppm
        // off the program clock); parec's frames over the program clock measure it.
        const double heardRate =
            seconds >= 120 && result.headphonesRate > 0 ? result.headphonesRate : earsRate;
        result.scheduleErrorsFromFirst.push_back((heard[r] - heard[0]) * 1000.0 / heardRate
                                                 - (dues[i] - dues[0]) / 1000.0);
        result.measured.push_back((answers[i] - starts[i]) / 1000.0 - ownOnset / 44.1);
        result.truth.push_back(spoken[r] * 1000.0 / voiceRate - heard[r] * 1000.0 / earsRate);
        // An underrun between two sounds moves the later one: only neighbours both kept count.
        if (i == 0 || flagged[i - 1] || recorded[i - 1] < 0 || starts[i - 1] < 0
            || answers[i - 1] < 0)
            continue;
        const size_t q = size_t(recorded[i - 1]);
        result.scheduleErrors.push_back((heard[r] - heard[q]) * 1000.0 / earsRate
                                        - (dues[i] - dues[i - 1]) / 1000.0);
        result.startIntervalErrors.push_back((starts[i] - starts[i - 1]) / 1000.0
                                             - (heard[r] - heard[q]) * 1000.0 / earsRate);
        result.answerIntervalErrors.push_back((answers[i] - answers[i - 1]) / 1000.0
                                              - (spoken[r] - spoken[q]) * 1000.0 / voiceRate);
    }
    return result;
}

} // namespace orva::test
