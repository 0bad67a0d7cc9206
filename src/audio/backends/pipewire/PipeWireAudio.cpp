// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/backends/pipewire/PipeWireAudio.h"

#include "audio/StreamClockModel.h"
#include "audio/backends/pipewire/PipeWireConnection.h"

#include <algorithm>

namespace orva {

using namespace pipewire;

struct PipeWireAudioOutput::Private
{
    Private(const Clock &clock, QString device)
        : clock(clock)
        , device(std::move(device))
    { }

    const Clock &clock;
    QString device;
    Connection connection;
    FrameSource *source = nullptr;
    StreamClockModel model { QStringLiteral("playback") };
    std::atomic<bool> running { false };
    StallWatch stall { "playback" };
    CycleWatch cycles { "playback" };
    std::atomic<qint64> underflows { 0 };
    /// Frames handed to the stream since it started; the clock model counts from its first.
    qint64 written = 0;
    std::atomic<qint64> firstFrame { 0 };
    qint64 requested = kBufferFrames;

    // The graph's real-time thread, once a cycle.
    void process()
    {
        pw_stream *stream = connection.stream;
        // After a stall the old line no longer holds: the model starts afresh and is unsettled
        // until it has seen the stream run again.
        if (stall.served(clock.nowUs()))
            model.reset();
        pw_time time {};
        const bool timed = pw_stream_get_time_n(stream, &time, sizeof time) == 0 && time.now > 0
            && time.rate.denom > 0;
        if (timed)
            cycles.cycle(time);
        pw_buffer *buffer = pw_stream_dequeue_buffer(stream);
        if (!buffer)
            return; // the graph holds every buffer: it takes one before it asks again
        spa_data &data = buffer->buffer->datas[0];
        // The converter asks for what the next cycle needs.
        if (buffer->requested)
            requested = qint64(buffer->requested);
        const qint64 frames = std::min<qint64>(qint64(data.maxsize) / 4, requested);
        if (!data.data || frames <= 0) {
            pw_stream_queue_buffer(stream, buffer);
            return;
        }
        source->render(static_cast<qint16 *>(data.data), frames);
        data.chunk->offset = 0;
        data.chunk->stride = 4;
        data.chunk->size = uint32_t(frames * 4);
        buffer->size = uint64_t(frames);
        // The graph asks in the cycle of the report and plays the buffer from the report on: its
        // first frame follows what the stream and its converter still hold, and then travels
        // the graph's delay to the device.
        if (timed)
            model.observe(
                written,
                stampUs(clock, time)
                    + qint64(delayUs(time) + double(time.queued + time.buffered) * 1e6 / kRate));
        written += frames;
        pw_stream_queue_buffer(stream, buffer);
    }
};

PipeWireAudioOutput::PipeWireAudioOutput(const Clock &clock, QString device)
    : d(std::make_unique<Private>(clock, std::move(device)))
{ }

PipeWireAudioOutput::~PipeWireAudioOutput()
{
    stop();
}

DeviceResult PipeWireAudioOutput::start(FrameSource &source)
{
    if (isRunning())
        return DeviceResult::ok();
    stop(); // what is left of a connection that was lost
    Connection &connection = d->connection;
    connection.role = "playback";
    connection.playback = true;
    connection.node = d->device.toUtf8();
    connection.monitor = false;
    const DeviceResult opened = connection.open("orva-playback");
    if (!opened.isOk()) {
        connection.close();
        return opened;
    }
    d->source = &source;
    d->firstFrame = source.nextFrame();
    d->written = 0;
    d->model.reset();
    d->stall.begin();
    d->cycles.begin();
    static const pw_stream_events events = [] {
        pw_stream_events events {};
        events.version = PW_VERSION_STREAM_EVENTS;
        events.state_changed = [](void *p, pw_stream_state, pw_stream_state state,
                                  const char *error) {
            static_cast<Private *>(p)->connection.streamStateChanged(state, error);
        };
        events.io_changed = [](void *p, uint32_t id, void *area, uint32_t size) {
            static_cast<Private *>(p)->connection.ioChanged(id, area, size);
        };
        events.process = [](void *p) { static_cast<Private *>(p)->process(); };
        return events;
    }();
    const DeviceResult connected = connection.connect(events, d.get(), 2);
    if (!connected.isOk()) {
        stop();
        return connected;
    }
    d->running = true;
    return DeviceResult::ok();
}

void PipeWireAudioOutput::stop()
{
    d->connection.close();
    d->running = false;
}

bool PipeWireAudioOutput::isRunning() const
{
    return d->running && !d->connection.lost;
}

std::optional<qint64> PipeWireAudioOutput::frameTimeUs(qint64 frame) const
{
    if (!isRunning())
        return std::nullopt;
    return d->model.frameTimeUs(frame - d->firstFrame);
}

bool PipeWireAudioOutput::isClockSettled() const
{
    return isRunning() && d->model.isSettled();
}

bool PipeWireAudioOutput::isStalled() const
{
    return d->stall.isStalled(d->clock.nowUs());
}

qint64 PipeWireAudioOutput::underflowCount() const
{
    // A re-anchored clock is a discontinuity the graph may not have shown in its cycles; so are
    // a stall and a lost stream.
    return d->underflows + d->cycles.discontinuities + d->model.reanchorCount() + d->stall.stalls
        + d->connection.losses;
}

QString PipeWireAudioOutput::description() const
{
    return QStringLiteral("PipeWire sink %1")
        .arg(d->device.isEmpty() ? QStringLiteral("(default)") : d->device);
}

struct PipeWireAudioInput::Private
{
    Private(const Clock &clock, QString device)
        : clock(clock)
        , device(std::move(device))
    { }

    const Clock &clock;
    QString device;
    Connection connection;
    CaptureSink *sink = nullptr;
    StreamClockModel model { QStringLiteral("capture") };
    std::atomic<bool> running { false };
    StallWatch stall { "capture" };
    CycleWatch cycles { "capture" };
    // Frames go on counting when the stream is opened anew; the clock model counts from the
    // stream's first frame.
    qint64 nextFrame = 0;
    std::atomic<qint64> firstFrame { 0 };

    // The graph's data thread, once a cycle.
    void process()
    {
        pw_stream *stream = connection.stream;
        if (stall.served(clock.nowUs())) // see the playback's process
            model.reset();
        pw_time time {};
        const bool timed = pw_stream_get_time_n(stream, &time, sizeof time) == 0 && time.now > 0
            && time.rate.denom > 0;
        if (timed)
            cycles.cycle(time);
        while (pw_buffer *buffer = pw_stream_dequeue_buffer(stream)) {
            const spa_data &data = buffer->buffer->datas[0];
            const uint32_t offset = std::min(data.chunk->offset, data.maxsize);
            const uint32_t bytes = std::min(data.chunk->size, data.maxsize - offset);
            const qint64 frames = qint64(bytes) / 2;
            if (data.data && frames > 0) {
                sink->samplesCaptured(
                    nextFrame,
                    reinterpret_cast<const qint16 *>(static_cast<const char *>(data.data) + offset),
                    frames);
                nextFrame += frames;
            }
            pw_stream_queue_buffer(stream, buffer);
        }
        // The cycle of the report brought the quantum a device captured before it, less the
        // graph's delay from the device; the converter holds some of it back. A sink's monitor
        // instead brings what the sink plays from the report on: its newest frame leaves the
        // sink a quantum and the sink's delay after the report.
        if (timed) {
            const double endUs = connection.monitor ? quantumUs(connection.position) + delayUs(time)
                                                    : -delayUs(time);
            model.observe(nextFrame - firstFrame,
                          stampUs(clock, time)
                              + qint64(endUs - double(time.buffered) * 1e6 / kRate));
        }
    }
};

PipeWireAudioInput::PipeWireAudioInput(const Clock &clock, QString device)
    : d(std::make_unique<Private>(clock, std::move(device)))
{ }

PipeWireAudioInput::~PipeWireAudioInput()
{
    stop();
}

DeviceResult PipeWireAudioInput::start(CaptureSink &sink)
{
    if (isRunning())
        return DeviceResult::ok();
    stop(); // what is left of a connection that was lost
    Connection &connection = d->connection;
    connection.role = "capture";
    connection.playback = false;
    QByteArray node = d->device.toUtf8();
    // pavucontrol shows a sink's monitor as a source NAME.monitor; in the graph it is the sink.
    connection.monitor = node.endsWith(".monitor");
    if (connection.monitor)
        node.chop(8);
    connection.node = node;
    DeviceResult opened = connection.open("orva-capture");
    if (!opened.isOk() && connection.monitor) {
        // A source whose own name ends in .monitor.
        connection.close();
        connection.monitor = false;
        connection.node = d->device.toUtf8();
        opened = connection.open("orva-capture");
    }
    if (!opened.isOk()) {
        connection.close();
        return opened;
    }
    d->sink = &sink;
    d->firstFrame = d->nextFrame;
    d->model.reset();
    d->stall.begin();
    d->cycles.begin();
    static const pw_stream_events events = [] {
        pw_stream_events events {};
        events.version = PW_VERSION_STREAM_EVENTS;
        events.state_changed = [](void *p, pw_stream_state, pw_stream_state state,
                                  const char *error) {
            static_cast<Private *>(p)->connection.streamStateChanged(state, error);
        };
        events.io_changed = [](void *p, uint32_t id, void *area, uint32_t size) {
            static_cast<Private *>(p)->connection.ioChanged(id, area, size);
        };
        events.process = [](void *p) { static_cast<Private *>(p)->process(); };
        return events;
    }();
    const DeviceResult connected = connection.connect(events, d.get(), 1);
    if (!connected.isOk()) {
        stop();
        return connected;
    }
    d->running = true;
    return DeviceResult::ok();
}

void PipeWireAudioInput::stop()
{
    d->connection.close();
    d->running = false;
}

bool PipeWireAudioInput::isRunning() const
{
    return d->running && !d->connection.lost;
}

std::optional<qint64> PipeWireAudioInput::frameTimeUs(qint64 frame) const
{
    if (!isRunning())
        return std::nullopt;
    return d->model.frameTimeUs(frame - d->firstFrame);
}

bool PipeWireAudioInput::isClockSettled() const
{
    return isRunning() && d->model.isSettled();
}

bool PipeWireAudioInput::isStalled() const
{
    return d->stall.isStalled(d->clock.nowUs());
}

qint64 PipeWireAudioInput::overflowCount() const
{
    return d->cycles.discontinuities + d->model.reanchorCount() + d->stall.stalls
        + d->connection.losses;
}

QString PipeWireAudioInput::description() const
{
    return QStringLiteral("PipeWire source %1")
        .arg(d->device.isEmpty() ? QStringLiteral("(default)") : d->device);
}

bool pipeWireServerAnswers(int timeoutMs)
{
    initPipeWire();
    pw_loop *loop = pw_loop_new(nullptr);
    if (!loop)
        return false;
    bool answered = false;
    pw_context *context = pw_context_new(loop, nullptr, 0);
    if (context) {
        if (pw_core *core = pw_context_connect(context, nullptr, 0)) {
            struct Wait
            {
                int seq = -1;
                bool done = false;
                bool failed = false;
            } wait;
            spa_hook listener {};
            static const pw_core_events events = [] {
                pw_core_events events {};
                events.version = PW_VERSION_CORE_EVENTS;
                events.done = [](void *p, uint32_t id, int seq) {
                    auto *wait = static_cast<Wait *>(p);
                    if (id == PW_ID_CORE && seq == wait->seq)
                        wait->done = true;
                };
                events.error = [](void *p, uint32_t id, int, int, const char *) {
                    if (id == PW_ID_CORE)
                        static_cast<Wait *>(p)->failed = true;
                };
                return events;
            }();
            pw_core_add_listener(core, &listener, &events, &wait);
            wait.seq = pw_core_sync(core, PW_ID_CORE, 0);
            const auto deadline =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
            pw_loop_enter(loop);
            while (!wait.done && !wait.failed && std::chrono::steady_clock::now() < deadline)
                pw_loop_iterate(loop, 10);
            pw_loop_leave(loop);
            answered = wait.done;
            spa_hook_remove(&listener);
            pw_core_disconnect(core);
        }
        pw_context_destroy(context);
    }
    pw_loop_destroy(loop);
    return answered;
}

} // namespace orva
