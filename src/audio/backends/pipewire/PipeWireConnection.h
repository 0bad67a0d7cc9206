// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The connection to the PipeWire server that both streams of the backend use, and what follows
// a stream's cycles. Only the backend's own code includes this.
#include "audio/DeviceResult.h"
#include "support/Clock.h"
#include "support/Logger.h"

#include <QByteArray>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <mutex>
#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>
#include <thread>

namespace orva::pipewire {

constexpr int kRate = 44100;
constexpr int kConnectTimeoutMs = 3000;
/// The frames of a playback buffer before the converter has asked for a size.
constexpr qint64 kBufferFrames = 512;

// Failures are reported with libpulse's error codes, so that the log and the player's box name
// them as they do for the libpulse backend.
constexpr int kNoEntity = 5; // PA_ERR_NOENTITY
constexpr int kConnectionRefused = 6; // PA_ERR_CONNECTIONREFUSED
constexpr int kTimeout = 8; // PA_ERR_TIMEOUT

/// A stream that the graph has not served for this long has stalled (a server held up, a
/// device that stopped): many times a cycle of the graph (5 to 43 ms), short enough that a stall
/// moves no measurement by more than this unnoticed.
constexpr qint64 kStallUs = 100'000;

inline void initPipeWire()
{
    static std::once_flag once;
    std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

inline qint64 monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

/// Notices the gaps between a stream's cycles, on the graph's thread; any thread may ask whether
/// the stream is stalled right now.
struct StallWatch
{
    const char *role = "";
    std::atomic<qint64> lastUs { 0 };
    std::atomic<qint64> stalls { 0 };

    void begin() { lastUs = 0; }
    /// The graph served the stream at `nowUs`; a gap before it longer than kStallUs is a stall,
    /// counted before the data of the cycle goes anywhere. True after a stall.
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

/// Follows the graph's clock from cycle to cycle, on the graph's thread: every cycle advances
/// the driver's position by the same quantum at the same rate, and anything else is a
/// discontinuity of the stream's timing (a skipped cycle, a changed quantum or rate, another
/// driver), logged and counted.
struct CycleWatch
{
    const char *role = "";
    std::atomic<qint64> discontinuities { 0 };
    bool started = false;
    uint64_t lastTicks = 0;
    int64_t lastStep = 0;
    spa_fraction lastRate {};

    void begin() { started = false; }
    /// True when the cycle of `time` does not follow on the one before.
    bool cycle(const pw_time &time)
    {
        if (!started) {
            started = true;
            lastTicks = time.ticks;
            lastRate = time.rate;
            lastStep = 0;
            return false;
        }
        const int64_t step = int64_t(time.ticks - lastTicks);
        bool broken = false;
        if (time.rate.num != lastRate.num || time.rate.denom != lastRate.denom) {
            logMessage(1, "   audio: %s: the graph's rate changed from %u/%u to %u/%u\n", role,
                       lastRate.num, lastRate.denom, time.rate.num, time.rate.denom);
            broken = true;
        } else if (step <= 0 || (lastStep > 0 && step != lastStep)) {
            logMessage(1,
                       "   audio: %s: the graph's cycle went from %lld to %lld frames (a changed "
                       "quantum, a missed cycle or another driver)\n",
                       role, static_cast<long long>(lastStep), static_cast<long long>(step));
            broken = true;
        }
        lastTicks = time.ticks;
        lastRate = time.rate;
        lastStep = step;
        if (broken)
            discontinuities.fetch_add(1);
        return broken;
    }
};

/// The program time (µs) at which the graph wrote `time`: its stamp is on CLOCK_MONOTONIC, the
/// program clock is read beside it.
inline qint64 stampUs(const Clock &clock, const pw_time &time)
{
    const qint64 nowUs = clock.nowUs();
    return nowUs - (monotonicNs() - time.now + 500) / 1000;
}

/// The graph's delay to the device, in µs.
inline double delayUs(const pw_time &time)
{
    return time.rate.denom ? double(time.delay) * 1e6 * time.rate.num / time.rate.denom : 0.0;
}

/// The duration of the graph's current cycle (µs), from its position; 0 without one.
inline double quantumUs(const std::atomic<spa_io_position *> &position)
{
    const spa_io_position *current = position.load();
    if (current && current->clock.rate.denom)
        return double(current->clock.duration) * 1e6 * current->clock.rate.num
            / current->clock.rate.denom;
    return 0;
}

/// A thread loop with a connected core and one stream; everything libpipewire does runs on its
/// threads (the loop's, and the graph's data thread for the stream's cycles).
struct Connection
{
    pw_thread_loop *loop = nullptr;
    pw_context *context = nullptr;
    pw_core *core = nullptr;
    pw_registry *registry = nullptr;
    pw_stream *stream = nullptr;
    spa_hook coreListener {};
    spa_hook registryListener {};
    spa_hook streamListener {};
    /// "playback" or "capture", for the log.
    const char *role = "";
    bool playback = true;
    /// The node asked for, empty for the default; and whether its sink's monitor is meant.
    QByteArray node;
    bool monitor = false;
    /// The named node's id in the registry, once found.
    uint32_t targetId = SPA_ID_INVALID;
    int syncSeq = -1;
    bool synced = false;
    /// Set on the loop's thread when the server, the stream or its device went away after the
    /// stream was up.
    std::atomic<bool> lost { false };
    std::atomic<bool> up { false };
    /// The graph's position, handed to the stream for its cycles (the graph's thread reads it).
    std::atomic<spa_io_position *> position { nullptr };
    /// Losses after the stream was up: each is a discontinuity of its timing. Never reset.
    std::atomic<qint64> losses { 0 };

    ~Connection() { close(); }

    static void onCoreDone(void *self, uint32_t id, int seq)
    {
        auto *connection = static_cast<Connection *>(self);
        if (id == PW_ID_CORE && seq == connection->syncSeq)
            connection->synced = true;
        pw_thread_loop_signal(connection->loop, false);
    }

    static void onCoreError(void *self, uint32_t id, int, int res, const char *message)
    {
        auto *connection = static_cast<Connection *>(self);
        if (id == PW_ID_CORE && res == -EPIPE)
            connection->markLost(message ? message : "the server went away");
        pw_thread_loop_signal(connection->loop, false);
    }

    static void
    onGlobal(void *self, uint32_t id, uint32_t, const char *type, uint32_t, const spa_dict *props)
    {
        auto *connection = static_cast<Connection *>(self);
        if (connection->node.isEmpty() || std::strcmp(type, PW_TYPE_INTERFACE_Node) != 0 || !props)
            return;
        const char *name = spa_dict_lookup(props, PW_KEY_NODE_NAME);
        const char *mediaClass = spa_dict_lookup(props, PW_KEY_MEDIA_CLASS);
        if (!name || !mediaClass || connection->node != name)
            return;
        const bool sink = std::strncmp(mediaClass, "Audio/Sink", 10) == 0
            || std::strcmp(mediaClass, "Audio/Duplex") == 0;
        const bool source = std::strncmp(mediaClass, "Audio/Source", 12) == 0
            || std::strcmp(mediaClass, "Audio/Duplex") == 0;
        if (connection->playback || connection->monitor ? sink : source)
            connection->targetId = id;
    }

    static void onGlobalRemove(void *self, uint32_t id)
    {
        auto *connection = static_cast<Connection *>(self);
        if (id != connection->targetId)
            return;
        // The sound would go elsewhere, or nowhere: the client's headphones hear nothing, and the
        // stream counts as lost until it is opened on its device again.
        connection->targetId = SPA_ID_INVALID;
        connection->markLost("its device went away");
    }

    /// From the loop's thread: whoever asks next finds the device not running and opens it anew.
    void markLost(const char *why)
    {
        if (!up || lost.exchange(true))
            return;
        losses.fetch_add(1);
        logMessage(1, "   audio: %s: the PipeWire stream was lost (%s)\n", role, why);
    }

    enum class Progress { Pending, Ready, Failed };

    /// Polls `progress` under the loop's lock until it is Ready or Failed, but never for ever: a
    /// server that does not answer must not hang the program.
    template<typename Poll> DeviceResult await(Poll progress, int failure)
    {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectTimeoutMs);
        for (;;) {
            pw_thread_loop_lock(loop);
            const Progress state = progress();
            pw_thread_loop_unlock(loop);
            if (state == Progress::Ready)
                return DeviceResult::ok();
            if (state == Progress::Failed)
                return DeviceResult::fromPulseError(failure);
            if (std::chrono::steady_clock::now() > deadline)
                return DeviceResult::fromPulseError(kTimeout);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    /// Connects to the server and, for a named device, finds its node: a device that is not
    /// there fails here.
    DeviceResult open(const char *name)
    {
        initPipeWire();
        lost = false;
        up = false;
        synced = false;
        targetId = SPA_ID_INVALID;
        loop = pw_thread_loop_new(name, nullptr);
        if (!loop)
            return DeviceResult(DeviceResult::kOutOfMemory);
        // The client's real-time configuration: the graph's cycles of this program run on a
        // thread of real-time priority (granted by RealtimeKit on a desktop), not held up for
        // tens of milliseconds by a busy machine.
        context =
            pw_context_new(pw_thread_loop_get_loop(loop),
                           pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr), 0);
        if (!context)
            return DeviceResult(DeviceResult::kOutOfMemory);
        if (pw_thread_loop_start(loop) < 0)
            return DeviceResult(DeviceResult::kGeneric);
        pw_thread_loop_lock(loop);
        core = pw_context_connect(context, nullptr, 0);
        if (!core) {
            pw_thread_loop_unlock(loop);
            return DeviceResult::fromPulseError(kConnectionRefused);
        }
        static const pw_core_events coreEvents = [] {
            pw_core_events events {};
            events.version = PW_VERSION_CORE_EVENTS;
            events.done = onCoreDone;
            events.error = onCoreError;
            return events;
        }();
        pw_core_add_listener(core, &coreListener, &coreEvents, this);
        static const pw_registry_events registryEvents = [] {
            pw_registry_events events {};
            events.version = PW_VERSION_REGISTRY_EVENTS;
            events.global = onGlobal;
            events.global_remove = onGlobalRemove;
            return events;
        }();
        registry = pw_core_get_registry(core, PW_VERSION_REGISTRY, 0);
        pw_registry_add_listener(registry, &registryListener, &registryEvents, this);
        // Every node there is has been announced when the server answers this.
        syncSeq = pw_core_sync(core, PW_ID_CORE, 0);
        pw_thread_loop_unlock(loop);
        const DeviceResult answered =
            await([this] { return synced ? Progress::Ready : Progress::Pending; }, kTimeout);
        if (!answered.isOk())
            return answered;
        if (!node.isEmpty() && targetId == SPA_ID_INVALID)
            return DeviceResult::fromPulseError(kNoEntity);
        return DeviceResult::ok();
    }

    /// Creates the stream and connects it to its node with `format` (44.1 kHz, 16 bit,
    /// `channels`), the graph's cycles going to `events` on the graph's thread; waits until it
    /// runs or failed to.
    DeviceResult connect(const pw_stream_events &events, void *data, int channels)
    {
        pw_thread_loop_lock(loop);
        pw_properties *props = pw_properties_new(
            PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, playback ? "Playback" : "Capture",
            PW_KEY_MEDIA_ROLE, "Production", PW_KEY_APP_NAME, "ORVA", nullptr);
        if (!node.isEmpty()) {
            pw_properties_set(props, PW_KEY_TARGET_OBJECT, node.constData());
            // A named device that goes away is lost, not replaced by another one.
            pw_properties_set(props, PW_KEY_NODE_DONT_RECONNECT, "true");
        }
        if (monitor)
            pw_properties_set(props, PW_KEY_STREAM_CAPTURE_SINK, "true");
        stream =
            pw_stream_new(core, playback ? "ORVA playback" : "ORVA capture", props); // owns props
        if (!stream) {
            pw_thread_loop_unlock(loop);
            return DeviceResult(DeviceResult::kOutOfMemory);
        }
        pw_stream_add_listener(stream, &streamListener, &events, data);
        uint8_t buffer[1024];
        spa_pod_builder builder {};
        spa_pod_builder_init(&builder, buffer, sizeof buffer);
        spa_audio_info_raw info {};
        info.format = SPA_AUDIO_FORMAT_S16_LE;
        info.rate = kRate;
        info.channels = uint32_t(channels);
        if (channels == 1) {
            info.position[0] = SPA_AUDIO_CHANNEL_MONO;
        } else {
            info.position[0] = SPA_AUDIO_CHANNEL_FL;
            info.position[1] = SPA_AUDIO_CHANNEL_FR;
        }
        const spa_pod *params[1] = { spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat,
                                                                &info) };
        const int flags =
            PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS;
        const int result =
            pw_stream_connect(stream, playback ? PW_DIRECTION_OUTPUT : PW_DIRECTION_INPUT,
                              PW_ID_ANY, pw_stream_flags(flags), params, 1);
        pw_thread_loop_unlock(loop);
        if (result < 0)
            return DeviceResult(DeviceResult::kGeneric);
        const DeviceResult connected = await(
            [this] {
                if (lost || targetGone())
                    return Progress::Failed;
                const pw_stream_state state = pw_stream_get_state(stream, nullptr);
                return state == PW_STREAM_STATE_STREAMING ? Progress::Ready
                    : state == PW_STREAM_STATE_ERROR      ? Progress::Failed
                                                          : Progress::Pending;
            },
            kConnectionRefused);
        up = connected.isOk();
        return connected;
    }

    bool targetGone() const { return !node.isEmpty() && targetId == SPA_ID_INVALID; }

    /// The stream's io areas change; the position is the one needed.
    void ioChanged(uint32_t id, void *area, uint32_t size)
    {
        if (id == SPA_IO_Position)
            position =
                size >= sizeof(spa_io_position) ? static_cast<spa_io_position *>(area) : nullptr;
    }

    /// From the loop's thread: a stream that fails or is dropped after it ran is lost.
    void streamStateChanged(pw_stream_state state, const char *error)
    {
        if (state == PW_STREAM_STATE_ERROR)
            markLost(error ? error : "stream error");
        else if (state == PW_STREAM_STATE_UNCONNECTED)
            markLost("the stream was disconnected");
        pw_thread_loop_signal(loop, false);
    }

    void close()
    {
        up = false;
        position = nullptr;
        if (loop)
            pw_thread_loop_lock(loop);
        if (stream) {
            spa_hook_remove(&streamListener);
            pw_stream_destroy(stream);
            stream = nullptr;
        }
        if (registry) {
            spa_hook_remove(&registryListener);
            pw_proxy_destroy(reinterpret_cast<pw_proxy *>(registry));
            registry = nullptr;
        }
        if (core) {
            spa_hook_remove(&coreListener);
            pw_core_disconnect(core);
            core = nullptr;
        }
        if (loop) {
            pw_thread_loop_unlock(loop);
            pw_thread_loop_stop(loop);
        }
        if (context) {
            pw_context_destroy(context);
            context = nullptr;
        }
        if (loop) {
            pw_thread_loop_destroy(loop);
            loop = nullptr;
        }
    }
};

} // namespace orva::pipewire
