// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <memory>
#include <sys/prctl.h>
#include <vector>

namespace orva::test {

/// A PipeWire of the test's own, headless: a session bus of its own (`dbus-daemon --session`),
/// then `pipewire`, `wireplumber` and `pipewire-pulse`, all in a private XDG_RUNTIME_DIR and
/// HOME (no user's settings or remembered stream targets), each stopped by its process id when
/// the object goes, and with the test's process if that dies. The test's own process is pointed
/// at it (XDG_RUNTIME_DIR for libpipewire, PULSE_SERVER for libpulse, parec and pactl).
///
/// The one-clock layout: `room`, a stereo null sink at 44.1 kHz, is the one device;
/// `headphones` is a remap of it onto its left channel, `voice` one onto its right, and the
/// listener a loopback from headphones' monitor to voice, so that a recording of `room.monitor`
/// holds what the client hears and what the microphone hears on one sample clock.
class PipeWireServer
{
public:
    /// `listenerMs` > 0 sets up the one-clock layout with its listener that late; 0 a stereo
    /// null sink `headphones` alone. Check isRunning() afterwards; error() says why not.
    explicit PipeWireServer(int listenerMs = 0)
        : m_listenerMs(listenerMs)
    {
        QFile::setPermissions(
            m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        start();
    }
    ~PipeWireServer() { stop(); }

    bool isRunning() const { return m_running; }
    const QString &error() const { return m_error; }
    /// A folder that lives as long as the object, for the test's recordings.
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    /// The PipeWire daemon's process id.
    qint64 pid() const { return m_pipewire ? m_pipewire->processId() : 0; }

    /// Ends pipewire-pulse, wireplumber and pipewire (by their process ids), as when a desktop's
    /// sound server quits; the session bus stays.
    void stopServer()
    {
        m_running = false;
        for (auto *process : { &m_pulse, &m_wireplumber, &m_pipewire })
            end(*process);
    }

    /// Starts the server again with the same devices.
    bool startServer()
    {
        start();
        return m_running;
    }

    void stop()
    {
        stopServer();
        end(m_bus);
    }

    /// Runs `pactl` with `arguments` on this server; its output, empty when it failed.
    QString pactl(const QStringList &arguments) const
    {
        return run(QStringLiteral("pactl"), arguments);
    }
    /// Forces the graph's quantum (frames), 0 lets the graph choose again.
    bool forceQuantum(int frames) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStandardPaths::findExecutable(QStringLiteral("pw-metadata")),
                      { QStringLiteral("-n"), QStringLiteral("settings"), QStringLiteral("0"),
                        QStringLiteral("clock.force-quantum"), QString::number(frames) });
        return process.waitForFinished(5000) && process.exitCode() == 0;
    }

    /// The module arguments of the `headphones` remap sink, to load it again after it was
    /// unloaded.
    static QString headphonesArguments()
    {
        return QStringLiteral("sink_name=headphones master=room channels=2 "
                              "master_channel_map=front-left,front-left "
                              "channel_map=front-left,front-right remix=no");
    }

private:
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_dir.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath("config"));
        environment.insert(QStringLiteral("XDG_STATE_HOME"), m_dir.filePath("state"));
        environment.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_dir.filePath("pulse"));
        environment.insert(QStringLiteral("PULSE_SERVER"), pulseAddress());
        environment.remove(QStringLiteral("PIPEWIRE_REMOTE"));
        environment.remove(QStringLiteral("PIPEWIRE_RUNTIME_DIR"));
        if (!m_busAddress.isEmpty())
            environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
        return environment;
    }
    QString pulseAddress() const
    {
        return QStringLiteral("unix:") + m_dir.filePath("pulse/native");
    }

    QString run(const QString &name, const QStringList &arguments) const
    {
        const QString program = QStandardPaths::findExecutable(name);
        if (program.isEmpty())
            return {};
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(program, arguments);
        if (!process.waitForFinished(10000) || process.exitCode() != 0)
            return {};
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        return out.isEmpty() ? QStringLiteral(" ") : out;
    }

    std::unique_ptr<QProcess> launch(const QString &name, const QStringList &arguments = {})
    {
        const QString program = QStandardPaths::findExecutable(name);
        if (program.isEmpty()) {
            m_error = QStringLiteral("%1 is not installed").arg(name);
            return nullptr;
        }
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->setStandardOutputFile(m_dir.filePath(name + QStringLiteral(".log")),
                                       QIODevice::Append);
        process->setStandardErrorFile(m_dir.filePath(name + QStringLiteral(".log")),
                                      QIODevice::Append);
        // A test that crashes or is killed takes its server with it.
        process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process->start(program, arguments);
        if (!process->waitForStarted(5000)) {
            m_error = QStringLiteral("%1 did not start").arg(name);
            return nullptr;
        }
        return process;
    }

    static void end(std::unique_ptr<QProcess> &process)
    {
        if (!process)
            return;
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
            process->waitForFinished(2000);
        }
        process.reset();
    }

    static bool waitFor(const QString &path)
    {
        for (int i = 0; i < 100 && !QFile::exists(path); ++i)
            QThread::msleep(50);
        return QFile::exists(path);
    }

    void start()
    {
        m_error.clear();
        QDir().mkpath(m_dir.filePath("config"));
        QDir().mkpath(m_dir.filePath("state"));
        if (!m_bus) {
            const QString dbus = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
            if (dbus.isEmpty()) {
                m_error = QStringLiteral("dbus-daemon is not installed");
                return;
            }
            m_bus = std::make_unique<QProcess>();
            m_bus->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
            m_bus->start(dbus,
                         { QStringLiteral("--session"), QStringLiteral("--nofork"),
                           QStringLiteral("--print-address=1") });
            if (!m_bus->waitForStarted(5000) || !m_bus->waitForReadyRead(5000)) {
                m_error = QStringLiteral("the session bus did not start");
                return;
            }
            m_busAddress = QString::fromUtf8(m_bus->readLine()).trimmed();
        }
        m_pipewire = launch(QStringLiteral("pipewire"));
        if (!m_pipewire)
            return;
        if (!waitFor(m_dir.filePath("pipewire-0"))) {
            m_error = QStringLiteral("pipewire opened no socket");
            return;
        }
        m_wireplumber = launch(QStringLiteral("wireplumber"));
        m_pulse = launch(QStringLiteral("pipewire-pulse"));
        if (!m_wireplumber || !m_pulse)
            return;
        if (!waitFor(m_dir.filePath("pulse/native"))) {
            m_error = QStringLiteral("pipewire-pulse opened no socket");
            return;
        }
        // libpipewire finds the server by XDG_RUNTIME_DIR, libpulse by PULSE_SERVER.
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toUtf8());
        qputenv("PULSE_SERVER", pulseAddress().toUtf8());
        qunsetenv("PIPEWIRE_REMOTE");
        qunsetenv("PIPEWIRE_RUNTIME_DIR");
        // WirePlumber has the graph once it announces the default sink's node; the devices come
        // after it, so that their streams are linked.
        for (int i = 0; i < 100 && pactl({ QStringLiteral("info") }).isEmpty(); ++i)
            QThread::msleep(50);
        if (m_listenerMs > 0 ? !loadOneClock() : !loadHeadphones()) {
            m_error = QStringLiteral("the devices could not be loaded through pipewire-pulse");
            return;
        }
        m_running = true;
    }

    bool loadHeadphones()
    {
        if (pactl({ QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                    QStringLiteral("sink_name=headphones"), QStringLiteral("rate=44100"),
                    QStringLiteral("channels=2") })
                .isEmpty())
            return false;
        QThread::msleep(300);
        return true;
    }

    bool loadOneClock()
    {
        const QStringList modules {
            QStringLiteral("module-null-sink sink_name=room rate=44100 channels=2"),
            QStringLiteral("module-remap-sink ") + headphonesArguments(),
            QStringLiteral("module-remap-sink sink_name=voice master=room channels=1 "
                           "master_channel_map=front-right channel_map=mono remix=no"),
            QStringLiteral("module-loopback source=headphones.monitor sink=voice "
                           "latency_msec=%1")
                .arg(m_listenerMs),
        };
        for (const QString &module : modules) {
            if (pactl(QStringList { QStringLiteral("load-module") }
                      + module.split(QLatin1Char(' ')))
                    .isEmpty())
                return false;
        }
        // The new nodes are linked by WirePlumber in its own time.
        QThread::msleep(500);
        return true;
    }

    QTemporaryDir m_dir;
    const int m_listenerMs;
    std::unique_ptr<QProcess> m_bus;
    std::unique_ptr<QProcess> m_pipewire;
    std::unique_ptr<QProcess> m_wireplumber;
    std::unique_ptr<QProcess> m_pulse;
    QString m_busAddress;
    QString m_error;
    bool m_running = false;
};

} // namespace orva::test
