// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/backends/pulse/PulseAudio.h"

#include "audio/StreamClockModel.h"
#include "support/Clock.h"
#include "support/Logger.h"

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
        logMessage(1, "   audio: %s: the sound server connection was lost (%s)\n", role,
                   pa_strerror(error));
    }

    /// Reports a stream that failed after it connected as a lost connection.
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

qint64 streamTimeUs(pa_stream *stream)
{
    pa_usec_t usec = 0;
    if (pa_stream_get_time(stream, &usec) < 0)
        return -1;
    return static_cast<qint64>(usec);
}

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
    std::atomic<qint64> firstFrame { 0 };
    std::atomic<qint64> underflows { 0 };
    std::atomic<bool> running { false };
    std::vector<qint16> buffer;

    // libpulse's thread, with the stream the callback names.
    void write(pa_stream *stream, size_t bytes)
    {
        const qint64 frames = qint64(bytes) / 4;
        if (frames <= 0)
            return;
        buffer.resize(frames * 2);
        source->render(buffer.data(), frames);
        pa_stream_write(stream, buffer.data(), frames * 4, nullptr, 0, PA_SEEK_RELATIVE);
        observe(stream);
    }
    void observe(pa_stream *stream)
    {
        const qint64 streamUs = streamTimeUs(stream);
        if (streamUs >= 0)
            model.observe(clock.nowUs(), streamUs);
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
    pa_stream_set_latency_update_callback(
        d->stream, [](pa_stream *stream, void *p) { static_cast<Private *>(p)->observe(stream); },
        d.get());
    // A target latency of 30 ms, refilled every 5 ms.
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = pa_usec_to_bytes(30'000, &format);
    attr.prebuf = uint32_t(-1);
    attr.minreq = pa_usec_to_bytes(5'000, &format);
    attr.fragsize = uint32_t(-1);
    const QByteArray device = d->device.toUtf8();
    const int flags = PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE
        | PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_UNMUTED;
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
    d->running = false;
}

bool PulseAudioOutput::isRunning() const
{
    return d->running && !d->connection.lost;
}

std::optional<qint64> PulseAudioOutput::frameTimeUs(qint64 frame) const
{
    if (!isRunning())
        return std::nullopt;
    return d->model.frameTimeUs(frame - d->firstFrame);
}

qint64 PulseAudioOutput::underflowCount() const
{
    return d->underflows;
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
    std::atomic<qint64> overflows { 0 };
    std::atomic<bool> running { false };
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
        const qint64 streamUs = streamTimeUs(stream);
        if (streamUs >= 0)
            model.observe(clock.nowUs(), streamUs);
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
    const QByteArray device = d->device.toUtf8();
    const int flags =
        PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY;
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
    d->running = false;
}

bool PulseAudioInput::isRunning() const
{
    return d->running && !d->connection.lost;
}

std::optional<qint64> PulseAudioInput::frameTimeUs(qint64 frame) const
{
    if (!isRunning())
        return std::nullopt;
    return d->model.frameTimeUs(frame - d->firstFrame);
}

qint64 PulseAudioInput::overflowCount() const
{
    return d->overflows;
}

QString PulseAudioInput::description() const
{
    return QStringLiteral("PulseAudio source %1")
        .arg(d->device.isEmpty() ? QStringLiteral("(default)") : d->device);
}

} // namespace orva
