// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/AudioSetupWizard.h"

#include "support/Logger.h"

#include <algorithm>

namespace orva {

namespace {

AudioSetupWizard::Step
step(int textId, AudioSetupWizard::Mixer mixer, bool picture = false, bool play = false)
{
    AudioSetupWizard::Step result;
    result.textId = textId;
    result.mixer = mixer;
    result.picture = picture;
    result.play = play;
    return result;
}

QList<AudioSetupWizard::Step> makeSteps()
{
    using Mixer = AudioSetupWizard::Mixer;
    // The texts of the sound control panel: this platform's mixers have its output and input
    // pages, not the classic mixer's channel strips.
    QList<AudioSetupWizard::Step> steps = {
        step(223, Mixer::None),      step(275, Mixer::None, true),
        step(276, Mixer::Playback),  step(277, Mixer::Playback, false, true),
        step(278, Mixer::Recording), step(279, Mixer::Playback),
        step(280, Mixer::None),
    };
    steps.first().back = false;
    AudioSetupWizard::Step &last = steps.last();
    last.next = false;
    last.ok = true;
    last.cancel = false;
    // At the end the operator may check the devices' latency before the first client.
    last.latencyTest = true;
    return steps;
}

} // namespace

const QList<AudioSetupWizard::Step> &AudioSetupWizard::steps()
{
    static const QList<Step> s_steps = makeSteps();
    return s_steps;
}

AudioSetupWizard::AudioSetupWizard(Output &output)
    : m_output(output)
{ }

AudioSetupWizard::~AudioSetupWizard()
{
    endMixer();
}

void AudioSetupWizard::start()
{
    if (m_started)
        return;
    m_started = true;
    m_step = 0;
    showStep();
}

void AudioSetupWizard::next()
{
    if (!m_started || m_ended)
        return;
    ++m_step;
    showStep();
}

void AudioSetupWizard::back()
{
    if (!m_started || m_ended)
        return;
    --m_step;
    showStep();
}

void AudioSetupWizard::play()
{
    if (!m_started || m_ended)
        return;
    m_output.playTestTone();
    restartMixer(Mixer::Playback);
}

bool AudioSetupWizard::finish()
{
    if (m_ended)
        return false;
    m_ended = true;
    endMixer();
    return true;
}

void AudioSetupWizard::showStep()
{
    m_step = std::clamp(m_step, 0, lastStep());
    const Step &shown = steps().at(m_step);
    logMessage(1, "   Audio set-up: step %d\n", m_step);
    if (shown.mixer == Mixer::None)
        endMixer();
    else
        restartMixer(shown.mixer);
    m_output.stepShown(m_step, shown);
}

void AudioSetupWizard::restartMixer(Mixer mixer)
{
    endMixer();
    if (m_output.startMixer(mixer))
        m_mixer = mixer;
}

void AudioSetupWizard::endMixer()
{
    if (m_mixer == Mixer::None)
        return;
    const Mixer open = m_mixer;
    m_mixer = Mixer::None;
    m_output.endMixer(open);
}

} // namespace orva
