// SPDX-License-Identifier: GPL-3.0-or-later
// How exactly the program times a reaction, against recordings made by parec outside the
// program: sounds played through the program's output on a PulseAudio server of its own, whose
// listener repeats everything 300 ms late and never corrects its delay, and answered through the
// program's capture. Prints, for one set-up, the error of the reaction times (mean, SD, worst,
// drift a minute) beside the error of the sound start times and of the syllables' leaving
// against their scheduled times.
// The set-ups pipewire and pipewire-pulse run the one-device set-up on a PipeWire of their own
// (pipewire, wireplumber, pipewire-pulse), through the native backend or through libpulse.
//   orva_audio_latency_bench one-clock|one-clock-48k|two-devices|48k|pipewire|pipewire-pulse
//                            [seconds, default 600]
#include "audio/PipeWireServer.h"
#include "audio/ReferenceTrials.h"
#include "audio/backends/pipewire/PipeWireAudio.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

using namespace orva;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const char *name = argc > 1 ? argv[1] : "one-clock";
    test::PulseServer::Layout layout = test::PulseServer::Layout::OneClock;
    const bool pipeWire = std::strcmp(name, "pipewire") == 0;
    const bool pipeWirePulse = std::strcmp(name, "pipewire-pulse") == 0;
    if (pipeWire || pipeWirePulse)
        layout = test::PulseServer::Layout::OneClock;
    else if (std::strcmp(name, "two-devices") == 0)
        layout = test::PulseServer::Layout::TwoDevices;
    else if (std::strcmp(name, "48k") == 0)
        layout = test::PulseServer::Layout::Voice48k;
    else if (std::strcmp(name, "one-clock-48k") == 0)
        layout = test::PulseServer::Layout::OneClock48k;
    else if (std::strcmp(name, "one-clock") != 0) {
        std::fprintf(stderr,
                     "usage: %s one-clock|one-clock-48k|two-devices|48k|pipewire|pipewire-pulse "
                     "[seconds]\n",
                     argv[0]);
        return 2;
    }
    const int seconds = argc > 2 ? std::max(10, atoi(argv[2])) : 600;
    test::ReferenceResult result;
    if (pipeWire || pipeWirePulse) {
        test::PipeWireServer server(300);
        if (!server.isRunning()) {
            std::fprintf(stderr, "audio latency bench %s: %s\n", name, qPrintable(server.error()));
            return 1;
        }
        test::TrialDevices devices = test::TrialDevices::pulse();
        if (pipeWire)
            devices = {
                [](const Clock &clock, const QString &device) -> std::unique_ptr<AudioOutput> {
                    return std::make_unique<PipeWireAudioOutput>(clock, device);
                },
                [](const Clock &clock, const QString &device) -> std::unique_ptr<AudioInput> {
                    return std::make_unique<PipeWireAudioInput>(clock, device);
                }
            };
        result = test::runReferenceTrialsOn<test::PipeWireServer>(server, test::TrialLayout(),
                                                                  devices, seconds);
    } else {
        result = test::runReferenceTrials(layout, seconds);
    }
    if (!result.error.isEmpty()) {
        std::fprintf(stderr, "audio latency bench %s: %s\n", name, qPrintable(result.error));
        return 1;
    }
    const std::vector<double> errors = result.errors();
    const test::Figures rt = test::figuresOf(errors, result.trialMinutes);
    const test::Figures residual = test::figuresOf(result.residuals());
    const test::Figures starts = test::figuresOf(result.startIntervalErrors);
    const test::Figures answers = test::figuresOf(result.answerIntervalErrors);
    std::printf("set-up %s: %d sounds in %.1f min, %d missed, %d flagged for a glitch (%lld "
                "glitches)\n",
                name, int(errors.size()) + result.flagged + result.missed,
                result.trialMinutes.empty() ? 0.0 : result.trialMinutes.back(), result.missed,
                result.flagged, static_cast<long long>(result.glitches));
    if (result.truthKnown) {
        std::printf("  reaction time error:   mean %7.3f ms  SD %6.3f ms  worst %7.3f ms  drift "
                    "%7.3f ms/min\n",
                    rt.mean, rt.sd, rt.worst, rt.driftPerMinute);
    } else {
        // Two recordings that began at different moments know the truth up to a constant.
        std::printf("  reaction time error:   mean (unknown constant)  SD %6.3f ms  worst %7.3f ms "
                    "from the mean  drift %7.3f ms/min\n",
                    rt.sd, rt.worst, rt.driftPerMinute);
        std::printf("  the devices' rates by parec over the program clock: %.2f and %.2f frames/s; "
                    "the listener's delay drifts by %.3f ms/min\n",
                    result.recordedRates.first, result.recordedRates.second,
                    result.expectedDriftPerMinute());
    }
    if (!result.truthKnown) {
        // Each device's rate against the program clock shows in the intervals: the listener takes
        // from one and gives to the other, so its delay in real time drifts by their difference,
        // which recordings read at their nominal rates do not show.
        const double startsMean = test::figuresOf(result.startIntervalErrors).mean;
        const double answersMean = test::figuresOf(result.answerIntervalErrors).mean;
        std::printf("  the devices' rates from the interval errors: the listener's delay drifts by "
                    "%.3f ms/min in real time\n",
                    (answersMean - startsMean) / 1.1 * 60);
    }
    std::printf("  error less drift:      SD %6.3f ms  worst %7.3f ms\n", residual.sd,
                residual.worst);
    std::printf("  sound start error (interval to the next, against the headphones' recording): "
                "mean %7.3f ms  SD %6.3f ms  worst %7.3f ms\n",
                starts.mean, starts.sd, starts.worst);
    std::printf("  answer time error (interval to the next, against the microphone's recording): "
                "mean %7.3f ms  SD %6.3f ms  worst %7.3f ms\n",
                answers.mean, answers.sd, answers.worst);
    const test::Figures schedule = test::figuresOf(result.scheduleErrors);
    const test::Figures fromFirst =
        test::figuresOf(result.scheduleErrorsFromFirst, result.trialMinutes);
    std::printf("  syllable start against its schedule (interval to the one before, headphones' "
                "recording): mean %7.3f ms  SD %6.3f ms  worst %7.3f ms\n",
                schedule.mean, schedule.sd, schedule.worst);
    std::printf("  syllable start against its schedule (from the first sound): mean %7.3f ms  SD "
                "%6.3f ms  worst %7.3f ms  drift %7.3f ms/min\n",
                fromFirst.mean, fromFirst.sd, fromFirst.worst, fromFirst.driftPerMinute);
    std::vector<double> scheduleResiduals;
    double meanMinute = 0;
    for (double t : result.trialMinutes)
        meanMinute += t / std::max<size_t>(1, result.trialMinutes.size());
    for (size_t i = 0; i < result.scheduleErrorsFromFirst.size(); ++i)
        scheduleResiduals.push_back(result.scheduleErrorsFromFirst[i] - fromFirst.mean
                                    - fromFirst.driftPerMinute
                                        * (result.trialMinutes[i] - meanMinute));
    const test::Figures scheduleResidual = test::figuresOf(scheduleResiduals);
    std::printf(
        "  the same less a straight line (the headphones' own rate, which parec's start and "
        "stop times measure only to tens of ppm): SD %6.3f ms  worst %7.3f ms\n",
        scheduleResidual.sd, scheduleResidual.worst);
    std::printf("  (headphones' recording at %.2f frames per second of the program clock; used "
                "for the figures from the first sound when the session is 2 minutes or longer)\n",
                result.headphonesRate);
    return result.missed == 0 ? 0 : 1;
}
