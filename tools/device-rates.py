#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures, from outside the program, how fast two sound devices of a PulseAudio server really
run and how the delay of a listener between them moves: parec records the monitors of
`headphones` and `voice`, every block it delivers is stamped with CLOCK_MONOTONIC as it arrives,
and a straight line through frames over time gives each device's rate. A listener that carries
frames from one device clock to the other without correcting itself (module-loopback with
adjust_time=0) lengthens or shortens its delay by their difference; that prediction is printed
beside the delay measured directly: each sound's onset in both recordings, put on CLOCK_MONOTONIC
by its stream's line.

Shares no code with ORVA: it only needs parec and a server that has the two sinks, for instance
the one the reference test starts (its socket is found when --server is not given):
    ORVA_REFERENCE_SECONDS=360 build/tests/audio/test_audio_PulseReference \\
        "reactionTimesAgreeWithTheRecordings:two devices" &
    tools/device-rates.py --seconds 330
"""
import argparse
import glob
import os
import struct
import subprocess
import sys
import threading
import time


class Recording:
    """parec of one monitor; (monotonic time, frames so far) after every block."""

    def __init__(self, device, rate, channels, env):
        self.rate = rate
        self.channels = channels
        self.stamps = []
        self.samples = []  # the first channel
        self.process = subprocess.Popen(
            ["parec", "--device=" + device, "--raw", "--format=s16le", "--rate=%d" % rate,
             "--channels=%d" % channels, "--latency-msec=20"],
            stdout=subprocess.PIPE, env=env, bufsize=0)
        self.thread = threading.Thread(target=self.read, daemon=True)
        self.thread.start()

    def read(self):
        frames = 0
        rest = b""
        frame_bytes = 2 * self.channels
        while True:
            block = self.process.stdout.read(4096)
            now = time.clock_gettime(time.CLOCK_MONOTONIC)
            if not block:
                return
            block = rest + block
            whole = len(block) // frame_bytes * frame_bytes
            rest = block[whole:]
            values = struct.unpack("<%dh" % (whole // 2), block[:whole])
            self.samples.extend(values[::self.channels])
            frames += whole // frame_bytes
            self.stamps.append((now, frames))

    def stop(self):
        self.process.terminate()
        self.process.wait()
        self.thread.join()

    def line(self, skip_seconds):
        """Least squares frames = a + rate * t over the stamps after the first `skip_seconds`;
        returns (t0, rate) with t0 the time of frame 0 on that line."""
        first = self.stamps[0][0] + skip_seconds
        points = [(t, f) for t, f in self.stamps if t >= first]
        n = len(points)
        mt = sum(t for t, _ in points) / n
        mf = sum(f for _, f in points) / n
        sxy = sum((t - mt) * (f - mf) for t, f in points)
        sxx = sum((t - mt) ** 2 for t, _ in points)
        rate = sxy / sxx
        return mt - mf / rate, rate


def onsets(samples, magnitude, quiet_frames):
    found = []
    quiet = quiet_frames
    for i, s in enumerate(samples):
        if abs(s) >= magnitude:
            if quiet >= quiet_frames:
                found.append(i)
            quiet = 0
        else:
            quiet += 1
    return found


def slope(xs, ys):
    mx = sum(xs) / len(xs)
    my = sum(ys) / len(ys)
    sxx = sum((x - mx) ** 2 for x in xs)
    return sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sxx if sxx else 0.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--server", help="PulseAudio server address (unix:/path/native)")
    parser.add_argument("--seconds", type=float, default=300)
    parser.add_argument("--skip", type=float, default=10, help="seconds left out of the rate fit")
    parser.add_argument("--voice-rate", type=int, default=44100)
    parser.add_argument("--magnitude", type=int, default=3000, help="onset threshold")
    args = parser.parse_args()

    server = args.server
    if not server:
        for _ in range(100):
            sockets = sorted(glob.glob("/tmp/test_audio_PulseReference-*/native"),
                             key=os.path.getmtime)
            if sockets:
                server = "unix:" + sockets[-1]
                break
            time.sleep(0.1)
    if not server:
        sys.exit("device-rates: no server given and none found")
    env = dict(os.environ, PULSE_SERVER=server)
    ears = Recording("headphones.monitor", 44100, 2, env)
    voice = Recording("voice.monitor", args.voice_rate, 1, env)
    time.sleep(args.seconds)
    ears.stop()
    voice.stop()

    ears_t0, ears_rate = ears.line(args.skip)
    voice_t0, voice_rate = voice.line(args.skip)
    span = ears.stamps[-1][0] - ears.stamps[0][0]
    print("recorded %.0f s on %s" % (span, server))
    for name, rate, nominal in (("headphones", ears_rate, 44100),
                                ("voice", voice_rate, args.voice_rate)):
        print("%-10s %.3f frames/s of CLOCK_MONOTONIC, %+.1f ppm from %d"
              % (name, rate, (rate / nominal - 1) * 1e6, nominal))
    predicted = -(voice_rate / args.voice_rate - ears_rate / 44100) * 60000
    print("listener's drift that the rates predict: %+.2f ms/min" % predicted)

    heard = onsets(ears.samples, args.magnitude, 44100 // 4)
    spoken = onsets(voice.samples, args.magnitude, args.voice_rate // 4)
    minutes, delays = [], []
    j = 0
    for h in heard:
        heard_s = ears_t0 + h / ears_rate
        while j < len(spoken) and voice_t0 + spoken[j] / voice_rate < heard_s:
            j += 1
        if j == len(spoken):
            break
        delay = voice_t0 + spoken[j] / voice_rate - heard_s
        if delay < 1.0:  # the answer to this sound, not a later one
            minutes.append(heard_s / 60)
            delays.append(delay * 1000)
    if len(delays) >= 2:
        print("listener's delay on CLOCK_MONOTONIC, %d sounds: %.2f ms at first, %.2f ms last, "
              "drift %+.2f ms/min" % (len(delays), delays[0], delays[-1], slope(minutes, delays)))
    else:
        print("no sounds heard: only the rates are measured")


if __name__ == "__main__":
    main()
