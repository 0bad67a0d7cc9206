// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

namespace orva::test {

/// A PulseAudio server of the test's own, on a socket in a temporary folder, with a null sink
/// "headphones" (the client's ears) and, when asked, a second null sink "voice" fed from the
/// headphones' monitor through a loopback of a known latency (a listener who answers late).
/// Neither sink rewinds: a sink that rewrites what it already rendered moves the samples its
/// monitor delivers, and the listener's delay would wander by a millisecond or two. The loopback
/// corrects its delay every second (not every ten): one that starts a few milliseconds off on a
/// busy machine is back on time within seconds instead of drifting in over the whole test.
/// Stopped by its process id when the object goes, and with the test's process if that dies.
class PulseServer
{
public:
    /// Set-ups with a listener whose delay is constant (a loopback that never corrects itself),
    /// for measurements checked against a recording made outside the program:
    enum class Layout {
        /// `room`, a stereo null sink, is the one device: `headphones` is a remap of it onto its
        /// left channel, `voice` one onto its right, so that a recording of `room.monitor` holds
        /// what the client hears and what the microphone hears on one sample clock.
        OneClock,
        /// The same on a 48 kHz device: both streams of the program are resampled.
        OneClock48k,
        /// `headphones` and `voice` are two null sinks, each with its own clock.
        TwoDevices,
        /// Two devices, the microphone's (`voice`) at 48 kHz.
        Voice48k,
        /// One clock as above, and a sink `spare` that nobody hears is the server's default:
        /// where the server moves a stream whose sink went away.
        OneClockSpare,
    };

    /// The module arguments of the listener that never corrects its delay, to load it again
    /// after its source went away.
    static QString listenerArguments(int loopbackMs)
    {
        return QStringLiteral("source=headphones.monitor sink=voice latency_msec=%1 adjust_time=0")
            .arg(loopbackMs);
    }
    /// The module arguments of the `headphones` sink of the one-clock layouts, to load it again
    /// after it was unloaded.
    static QString headphonesArguments()
    {
        return QStringLiteral("sink_name=headphones master=room channels=2 "
                              "master_channel_map=front-left,front-left "
                              "channel_map=front-left,front-right remix=no");
    }

    /// `loopbackMs` > 0 adds the listener. Check isRunning() afterwards; error() says why not.
    explicit PulseServer(int loopbackMs = 0)
    {
        QString script = QStringLiteral("load-module module-null-sink sink_name=headphones "
                                        "rate=44100 channels=2 norewinds=1\n");
        if (loopbackMs > 0)
            script +=
                QStringLiteral("load-module module-null-sink sink_name=voice rate=44100 channels=1 "
                               "norewinds=1\n"
                               "load-module module-loopback source=headphones.monitor "
                               "sink=voice latency_msec=%1 adjust_time=1\n")
                    .arg(loopbackMs);
        start(script);
    }

    /// The listener repeats everything `loopbackMs` late and never corrects its delay.
    PulseServer(Layout layout, int loopbackMs)
    {
        QString script;
        switch (layout) {
        case Layout::OneClock:
        case Layout::OneClock48k:
        case Layout::OneClockSpare:
            script =
                QStringLiteral(
                    "load-module module-null-sink sink_name=room rate=%1 channels=2 norewinds=1\n"
                    "load-module module-remap-sink %2\n"
                    "load-module module-remap-sink sink_name=voice master=room channels=1 "
                    "master_channel_map=front-right channel_map=mono remix=no\n")
                    .arg(layout == Layout::OneClock48k ? 48000 : 44100)
                    .arg(headphonesArguments());
            break;
        case Layout::TwoDevices:
        case Layout::Voice48k:
            script = QStringLiteral("load-module module-null-sink sink_name=headphones rate=44100 "
                                    "channels=2 norewinds=1\n"
                                    "load-module module-null-sink sink_name=voice rate=%1 "
                                    "channels=1 norewinds=1\n")
                         .arg(layout == Layout::Voice48k ? 48000 : 44100);
            break;
        }
        if (layout == Layout::OneClockSpare)
            script += QStringLiteral(
                "load-module module-null-sink sink_name=spare rate=44100 channels=2 norewinds=1\n"
                "set-default-sink spare\n");
        script +=
            QStringLiteral("load-module module-loopback %1\n").arg(listenerArguments(loopbackMs));
        start(script);
    }
    ~PulseServer() { stop(); }

    /// Ends the server (by its process id), as when a desktop's sound server quits.
    void stop()
    {
        m_running = false;
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }

    bool isRunning() const { return m_running; }
    /// The server's process id, for signals (SIGSTOP holds it up, SIGCONT lets it go on).
    qint64 pid() const { return m_process.processId(); }
    const QString &error() const { return m_error; }
    /// A folder that lives as long as the server, for the test's recordings.
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    /// Starts the server with the protocol module and `modules`.
    void start(const QString &modules)
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (program.isEmpty()) {
            m_error = QStringLiteral("pulseaudio is not installed");
            return;
        }
        const QString socket = m_dir.filePath(QStringLiteral("native"));
        const QString script =
            QStringLiteral("load-module module-native-protocol-unix socket=%1 auth-anonymous=1\n")
                .arg(socket)
            + modules;
        QFile file(m_dir.filePath(QStringLiteral("session.pa")));
        if (!file.open(QIODevice::WriteOnly)) {
            m_error = QStringLiteral("cannot write the server's script");
            return;
        }
        file.write(script.toUtf8());
        file.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_dir.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        environment.insert(QStringLiteral("PULSE_RUNTIME_PATH"),
                           m_dir.filePath(QStringLiteral("runtime")));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        // A test that crashes or is killed takes its server with it.
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.start(program,
                        { QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                          QStringLiteral("--exit-idle-time=-1"), QStringLiteral("-F"),
                          file.fileName(), QStringLiteral("--log-target=stderr") });
        if (!m_process.waitForStarted(5000)) {
            m_error = QStringLiteral("the PulseAudio server did not start");
            return;
        }
        for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
            QThread::msleep(100);
        if (!QFile::exists(socket)) {
            m_error = QStringLiteral("the PulseAudio server opened no socket");
            return;
        }
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
        m_running = true;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_error;
    bool m_running = false;
};

} // namespace orva::test
