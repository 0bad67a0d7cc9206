// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/backends/pulse/PulseAudio.h"

#include "audio/StreamClockModel.h"
#include "support/Clock.h"
#include "support/Logger.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <pulse/pulseaudio.h>
#include <thread>
#include <vector>

namespace orva {

namespace {

constexpr int kRate = 44100;
constexpr int kConnectTimeoutMs = 3000;

/// A threaded main loop with a connected context; everything libpulse does runs on its thread.
struct Connection
{
    pa_threaded_mainloop *loop = nullptr;
    pa_context *context = nullptr;
    /// Set on libpulse's thread when the connection or the stream failed after it was up.
    std::atomic<bool> lost { false };
    /// Set once the stream is connected; only then is a failure a loss.
    std::atomic<bool> up { false };
    /// "playback" or "capture", for the log line of a lost connection.
    const char *role = "";
    /// Connections lost after they were up, and streams moved to another device: each is a
    /// discontinuity of the stream's timing. Never reset.
    std::atomic<qint64> losses { 0 };
    /// The device the stream was asked for; empty for the server's default.
    QByteArray device;
    /// Set on libpulse's thread when the server moved the stream away from the device it was
    /// asked for (that device was removed): the sound goes elsewhere, the client's headphones
    /// hear nothing, and the stream counts as lost until it is opened on its device again.
    std::atomic<bool> movedAway { false };

    ~Connection() { close(); }

    DeviceResult open(const char *name)
    {
        loop = pa_threaded_mainloop_new();
        if (!loop)
            return DeviceResult(DeviceResult::kOutOfMemory);
        context = pa_context_new(pa_threaded_mainloop_get_api(loop), name);
        if (!context)
            return DeviceResult(DeviceResult::kOutOfMemory);
        lost = false;
        up = false;
        movedAway = false;
        pa_context_set_state_callback(
            context,
            [](pa_context *context, void *self) {
                auto *connection = static_cast<Connection *>(self);
                const pa_context_state_t state = pa_context_get_state(context);
                if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)
                    connection->markLost(pa_context_errno(context));
                pa_threaded_mainloop_signal(connection->loop, 0);
            },
            this);
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return DeviceResult::fromPulseError(pa_context_errno(context));
        if (pa_threaded_mainloop_start(loop) < 0)
            return DeviceResult(DeviceResult::kGeneric);
        return await([this] {
            const pa_context_state_t state = pa_context_get_state(context);
            return state == PA_CONTEXT_READY ? Progress::Ready
                : PA_CONTEXT_IS_GOOD(state)  ? Progress::Pending
                                             : Progress::Failed;
        });
    }

    /// Waits until `stream` has connected to its device, or failed to: a device that is not
    /// there fails here, and so does the server when it goes away meanwhile. Only from then on
    /// is a failure a lost connection.
    DeviceResult connectStream(pa_stream *stream)
    {
        const DeviceResult result = await([stream] {
            const pa_stream_state_t state = pa_stream_get_state(stream);
            return state == PA_STREAM_READY ? Progress::Ready
                : PA_STREAM_IS_GOOD(state)  ? Progress::Pending
                                            : Progress::Failed;
        });
        up = result.isOk();
        return result;
    }

    enum class Progress { Pending, Ready, Failed };

    /// Polls `progress` under the loop's lock until it is Ready or Failed, but never for ever: a
    /// server that does not answer must not hang the program.
    template<typename Poll> DeviceResult await(Poll progress)
    {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectTimeoutMs);
        for (;;) {
            pa_threaded_mainloop_lock(loop);
            const Progress state = progress();
            const int error = pa_context_errno(context);
            pa_threaded_mainloop_unlock(loop);
            if (state == Progress::Ready)
                return DeviceResult::ok();
            if (state == Progress::Failed)
                return DeviceResult::fromPulseError(error ? error : PA_ERR_CONNECTIONREFUSED);
            if (std::chrono::steady_clock::now() > deadline)
                return DeviceResult::fromPulseError(PA_ERR_TIMEOUT);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    /// From libpulse's thread: the server went away or dropped the stream. Whoever asks next
    /// finds the device not running and opens it anew.
    void markLost(int error)
    {
        if (!up || lost.exchange(true))
            return;
        losses.fetch_add(1);
        logMessage(1, "   audio: %s: the sound server connection was lost (%s)\n", role,
                   pa_strerror(error));
    }

    /// Reports a stream that failed after it connected as a lost connection, and one that the
    /// server moved to another device (its device was removed) as a discontinuity.
    void watch(pa_stream *stream)
    {
        pa_stream_set_state_callback(
            stream,
            [](pa_stream *stream, void *self) {
                if (pa_stream_get_state(stream) == PA_STREAM_FAILED) {
                    auto *connection = static_cast<Connection *>(self);
                    connection->markLost(pa_context_errno(pa_stream_get_context(stream)));
                }
            },
            this);
        pa_stream_set_moved_callback(
            stream,
            [](pa_stream *stream, void *self) {
                auto *connection = static_cast<Connection *>(self);
                connection->losses.fetch_add(1);
                const char *name = pa_stream_get_device_name(stream);
                logMessage(1, "   audio: %s: the stream was moved to %s\n", connection->role, name);
                // A stream on the default device follows the default wherever it goes.
                connection->movedAway =
                    !connection->device.isEmpty() && connection->device != QByteArray(name);
            },
            this);
    }

    /// Disconnects and drops `stream`, if any.
    void release(pa_stream *&stream)
    {
        if (!loop || !stream)
            return;
        pa_threaded_mainloop_lock(loop);
        // The stream lives on in libpulse until the server confirms the disconnect, and data
        // still on its way would reach these callbacks after our side forgot the stream.
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_read_callback(stream, nullptr, nullptr);
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        pa_stream_set_underflow_callback(stream, nullptr, nullptr);
        pa_stream_set_overflow_callback(stream, nullptr, nullptr);
        pa_stream_set_latency_update_callback(stream, nullptr, nullptr);
        pa_stream_set_moved_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
        pa_threaded_mainloop_unlock(loop);
    }

    void close()
    {
        up = false;
        if (loop)
            pa_threaded_mainloop_stop(loop);
        if (context) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
            pa_context_unref(context);
            context = nullptr;
        }
        if (loop) {
            pa_threaded_mainloop_free(loop);
            loop = nullptr;
        }
    }
};

/// How often a stream asks the server for its timing.
constexpr qint64 kTimingIntervalUs = 20'000;

/// A stream that the server has not served for this long has stalled (a server held up, a
/// device that stopped): many times the streams' periods of 5.8 and 10 ms, but short enough
/// that a stall moves no measurement by more than this unnoticed.
constexpr qint64 kStallUs = 100'000;

/// Notices the gaps in a stream's callbacks, on libpulse's thread; any thread may ask whether
/// the stream is stalled right now.
struct StallWatch
{
    const char *role = "";
    std::atomic<qint64> lastUs { 0 };
    std::atomic<qint64> stalls { 0 };

    void begin() { lastUs = 0; }
    /// The server served the stream at `nowUs`; a gap before it longer than kStallUs is a
    /// stall, counted before the data of the callback goes anywhere. True after a stall.
    bool served(qint64 nowUs)
    {
        const qint64 last = lastUs.exchange(nowUs);
        if (!last || nowUs - last <= kStallUs)
            return false;
        stalls.fetch_add(1);
        logMessage(1, "   audio: %s stalled for %lld ms\n", role,
                   static_cast<long long>((nowUs - last) / 1000));
        return true;
    }
    bool isStalled(qint64 nowUs) const
    {
        const qint64 last = lastUs;
        return last && nowUs - last > kStallUs;
    }
};

/// Feeds a stream's clock model from the server's raw timing reports: at the moment the server
/// wrote its report (its own time stamp) the stream stood at a known index, and the device's
/// latency says when the frame at that index leaves the output or entered the input. libpulse's
/// interpolated stream time is not used: it is smoothed and kept from running backwards, so an
/// error it starts with (the prebuffering of a playback stream) fades out only slowly, and with
/// it the time of every frame drifts by milliseconds a minute. Everything here runs on libpulse's
/// thread.
struct TimingProbe
{
    TimingProbe(const Clock &clock, StreamClockModel &model, bool playback)
        : clock(clock)
        , model(model)
        , playback(playback)
    { }

    const Clock &clock;
    StreamClockModel &model;
    const bool playback;
    /// The stream the reports belong to; reports of a stream released since are ignored.
    pa_stream *stream = nullptr;
    bool pending = false;
    qint64 lastRequestUs = 0;
    /// Reports whose index or time stamp could not be used.
    qint64 unusable = 0;

    void begin(pa_stream *s)
    {
        stream = s;
        pending = false;
        lastRequestUs = 0;
    }

    /// Asks for a report unless one is on its way or the last was asked for recently.
    void request(pa_stream *s)
    {
        const qint64 nowUs = clock.nowUs();
        if (s != stream || pending || (lastRequestUs && nowUs - lastRequestUs < kTimingIntervalUs))
            return;
        pa_operation *operation = pa_stream_update_timing_info(
            s,
            [](pa_stream *s, int success, void *self) {
                static_cast<TimingProbe *>(self)->answered(s, success);
            },
            this);
        if (!operation)
            return;
        pa_operation_unref(operation);
        pending = true;
        lastRequestUs = nowUs;
    }

    void answered(pa_stream *s, int success)
    {
        if (s != stream)
            return;
        pending = false;
        const pa_timing_info *info = success ? pa_stream_get_timing_info(s) : nullptr;
        if (!info || (playback ? info->read_index_corrupt : info->write_index_corrupt)
            || (playback && !info->playing)) {
            ++unusable;
            return;
        }
        // The report's time stamp is on the wall clock; the program clock is read beside it.
        const std::optional<qint64> stamp = StreamClockModel::programTimeOf(
            qint64(info->timestamp.tv_sec) * 1'000'000 + info->timestamp.tv_usec,
            [this] { return clock.nowUs(); },
            [] {
                return std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                    .count();
            });
        const qint64 nowUs = clock.nowUs();
        if (!stamp || *stamp > nowUs || nowUs - *stamp > 1'000'000) {
            ++unusable; // a thread held up again and again, or the wall clock set meanwhile
            return;
        }
        const qint64 stampUs = *stamp;
        if (playback) {
            // The frame at the read index went to the device then and leaves after its latency.
            model.observe(info->read_index / 4, stampUs + qint64(info->sink_usec));
        } else {
            // The frame at the write index left the device's buffer then; it entered the input
            // the source's latency earlier. A monitor's frames enter when they leave its sink.
            model.observe(info->write_index / 2,
                          stampUs - qint64(info->source_usec) + qint64(info->sink_usec));
        }
    }
};

} // namespace

struct PulseAudioOutput::Private
{
    Private(const Clock &clock, QString device)
        : clock(clock)
        , device(std::move(device))
    { }

    const Clock &clock;
    QString device;
    Connection connection;
    pa_stream *stream = nullptr;
    FrameSource *source = nullptr;
    StreamClockModel model { QStringLiteral("playback") };
    TimingProbe probe { clock, model, true };
    std::atomic<qint64> firstFrame { 0 };
    std::atomic<qint64> underflows { 0 };
    std::atomic<bool> running { false };
    std::vector<qint16> buffer;
    StallWatch stall { "playback" };

    // libpulse's thread, with the stream the callback names.
    void write(pa_stream *stream, size_t bytes)
    {
        // After a stall the server catches up in bursts and the old line no longer holds: the
        // model starts afresh and is unsettled until it has seen the stream run again.
        if (stall.served(clock.nowUs()))
            model.reset();
        const qint64 frames = qint64(bytes) / 4;
        if (frames <= 0)
            return;
        buffer.resize(frames * 2);
        source->render(buffer.data(), frames);
        pa_stream_write(stream, buffer.data(), frames * 4, nullptr, 0, PA_SEEK_RELATIVE);
        probe.request(stream);
    }
};

PulseAudioOutput::PulseAudioOutput(const Clock &clock, QString device)
    : d(std::make_unique<Private>(clock, std::move(device)))
{ }

PulseAudioOutput::~PulseAudioOutput()
{
    stop();
}

DeviceResult PulseAudioOutput::start(FrameSource &source)
{
    if (isRunning())
        return DeviceResult::ok();
    stop(); // what is left of a connection that was lost
    d->connection.role = "playback";
    d->connection.device = d->device.toUtf8();
    const DeviceResult opened = d->connection.open("ORVA");
    if (!opened.isOk()) {
        d->connection.close();
        return opened;
    }
    pa_threaded_mainloop *loop = d->connection.loop;
    pa_threaded_mainloop_lock(loop);
    const pa_sample_spec format { PA_SAMPLE_S16LE, kRate, 2 };
    d->stream = pa_stream_new(d->connection.context, "ORVA playback", &format, nullptr);
    d->source = &source;
    d->firstFrame = source.nextFrame();
    d->model.reset();
    d->stall.begin();
    d->probe.begin(d->stream);
    d->connection.watch(d->stream);
    pa_stream_set_write_callback(
        d->stream,
        [](pa_stream *stream, size_t bytes, void *p) {
            static_cast<Private *>(p)->write(stream, bytes);
        },
        d.get());
    pa_stream_set_underflow_callback(
        d->stream, [](pa_stream *, void *p) { static_cast<Private *>(p)->underflows.fetch_add(1); },
        d.get());
    // A target latency of 50 ms, refilled every 10 ms: a busy machine that holds the writer up
    // for 30 ms does not make it run dry. The latency costs no accuracy, the clock model knows it.
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = pa_usec_to_bytes(50'000, &format);
    attr.prebuf = uint32_t(-1);
    attr.minreq = pa_usec_to_bytes(10'000, &format);
    attr.fragsize = uint32_t(-1);
    const QByteArray &device = d->connection.device;
    const int flags = PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_UNMUTED;
    const int result =
        pa_stream_connect_playback(d->stream, device.isEmpty() ? nullptr : device.constData(),
                                   &attr, pa_stream_flags_t(flags), nullptr, nullptr);
    const int error = pa_context_errno(d->connection.context);
    pa_threaded_mainloop_unlock(loop);
    const DeviceResult connected =
        result < 0 ? DeviceResult::fromPulseError(error) : d->connection.connectStream(d->stream);
    if (!connected.isOk()) {
        stop();
        return connected;
    }
    d->running = true;
    return DeviceResult::ok();
}

void PulseAudioOutput::stop()
{
    d->connection.release(d->stream);
    d->connection.close();
    d->probe.stream = nullptr; // libpulse's thread has ended
    d->running = false;
}

bool PulseAudioOutput::isRunning() const
{
    return d->running && !d->connection.lost && !d->connection.movedAway;
}

std::optional<qint64> PulseAudioOutput::frameTimeUs(qint64 frame) const
{
    if (!isRunning())
        return std::nullopt;
    return d->model.frameTimeUs(frame - d->firstFrame);
}

bool PulseAudioOutput::isStalled() const
{
    return d->stall.isStalled(d->clock.nowUs());
}

bool PulseAudioOutput::isClockSettled() const
{
    return isRunning() && d->model.isSettled();
}

qint64 PulseAudioOutput::underflowCount() const
{
    // A re-anchored clock is a discontinuity the server may not have reported as an underrun;
    // so are a stall, a lost connection and a stream moved to another device.
    return d->underflows + d->model.reanchorCount() + d->stall.stalls + d->connection.losses;
}

QString PulseAudioOutput::description() const
{
    return QStringLiteral("PulseAudio sink %1")
        .arg(d->device.isEmpty() ? QStringLiteral("(default)") : d->device);
}

struct PulseAudioInput::Private
{
    Private(const Clock &clock, QString device)
        : clock(clock)
        , device(std::move(device))
    { }

    const Clock &clock;
    QString device;
    Connection connection;
    pa_stream *stream = nullptr;
    CaptureSink *sink = nullptr;
    StreamClockModel model { QStringLiteral("capture") };
    TimingProbe probe { clock, model, false };
    std::atomic<qint64> overflows { 0 };
    std::atomic<bool> running { false };
    StallWatch stall { "capture" };
    // Frames go on counting when the stream is opened anew; the clock model counts from the
    // stream's first frame.
    qint64 nextFrame = 0;
    std::atomic<qint64> firstFrame { 0 };
    std::vector<qint16> silence;

    // libpulse's thread, with the stream the callback names.
    void read(pa_stream *stream)
    {
        const void *data = nullptr;
        size_t bytes = 0;
        if (stall.served(clock.nowUs())) // see the playback's write
            model.reset();
        while (pa_stream_readable_size(stream) > 0) {
            if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0)
                break;
            const qint64 frames = qint64(bytes) / 2;
            if (data) {
                sink->samplesCaptured(nextFrame, static_cast<const qint16 *>(data), frames);
            } else {
                // A hole: the frames were lost, but they still count.
                silence.assign(frames, 0);
                sink->samplesCaptured(nextFrame, silence.data(), frames);
            }
            nextFrame += frames;
            pa_stream_drop(stream);
        }
        probe.request(stream);
    }
};

PulseAudioInput::PulseAudioInput(const Clock &clock, QString device)
    : d(std::make_unique<Private>(clock, std::move(device)))
{ }

PulseAudioInput::~PulseAudioInput()
{
    stop();
}

DeviceResult PulseAudioInput::start(CaptureSink &sink)
{
    if (isRunning())
        return DeviceResult::ok();
    stop(); // what is left of a connection that was lost
    d->connection.role = "capture";
    d->connection.device = d->device.toUtf8();
    const DeviceResult opened = d->connection.open("ORVA capture");
    if (!opened.isOk()) {
        d->connection.close();
        return opened;
    }
    pa_threaded_mainloop *loop = d->connection.loop;
    pa_threaded_mainloop_lock(loop);
    const pa_sample_spec format { PA_SAMPLE_S16LE, kRate, 1 };
    d->stream = pa_stream_new(d->connection.context, "ORVA capture", &format, nullptr);
    d->sink = &sink;
    d->firstFrame = d->nextFrame;
    d->model.reset();
    d->stall.begin();
    d->probe.begin(d->stream);
    d->connection.watch(d->stream);
    pa_stream_set_read_callback(
        d->stream,
        [](pa_stream *stream, size_t, void *p) { static_cast<Private *>(p)->read(stream); },
        d.get());
    pa_stream_set_overflow_callback(
        d->stream, [](pa_stream *, void *p) { static_cast<Private *>(p)->overflows.fetch_add(1); },
        d.get());
    // Fragments of 256 frames.
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = uint32_t(-1);
    attr.prebuf = uint32_t(-1);
    attr.minreq = uint32_t(-1);
    attr.fragsize = 256 * 2;
    const QByteArray &device = d->connection.device;
    const int flags = PA_STREAM_ADJUST_LATENCY;
    const int result =
        pa_stream_connect_record(d->stream, device.isEmpty() ? nullptr : device.constData(), &attr,
                                 pa_stream_flags_t(flags));
    const int error = pa_context_errno(d->connection.context);
    pa_threaded_mainloop_unlock(loop);
    const DeviceResult connected =
        result < 0 ? DeviceResult::fromPulseError(error) : d->connection.connectStream(d->stream);
    if (!connected.isOk()) {
        stop();
        return connected;
    }
    d->running = true;
    return DeviceResult::ok();
}

void PulseAudioInput::stop()
{
    d->connection.release(d->stream);
    d->connection.close();
    d->probe.stream = nullptr; // libpulse's thread has ended
    d->running = false;
}

bool PulseAudioInput::isRunning() const
{
    return d->running && !d->connection.lost && !d->connection.movedAway;
}

std::optional<qint64> PulseAudioInput::frameTimeUs(qint64 frame) const
{
    if (!isRunning())
        return std::nullopt;
    return d->model.frameTimeUs(frame - d->firstFrame);
}

bool PulseAudioInput::isStalled() const
{
    return d->stall.isStalled(d->clock.nowUs());
}

bool PulseAudioInput::isClockSettled() const
{
    return isRunning() && d->model.isSettled();
}

qint64 PulseAudioInput::overflowCount() const
{
    return d->overflows + d->model.reanchorCount() + d->stall.stalls + d->connection.losses;
}

QString PulseAudioInput::description() const
{
    return QStringLiteral("PulseAudio source %1")
        .arg(d->device.isEmpty() ? QStringLiteral("(default)") : d->device);
}

} // namespace orva
