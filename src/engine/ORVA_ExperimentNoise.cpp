// SPDX-License-Identifier: GPL-3.0-or-later
// Background noise of a training run: mixed into each syllable's play copy, or one endless sound
// faded in over 500 ms.
#include "engine/ORVA_Experiment.h"

#include <QSet>

#include <cmath>

namespace orva {

ORVA_Wave *ORVA_Experiment::currentNoise()
{
    const int type = m_client.noiseType();
    if (type < 0 || type >= static_cast<int>(m_noise.size()))
        return nullptr;
    return &m_noise[type];
}

void ORVA_Experiment::prepareNoise()
{
    const double gain = std::pow(10.0, m_client.noiseLevel() / 20.0);
    const bool mixing = m_client.noiseOn() && !m_client.noiseContinuous();
    ORVA_Wave *noise = currentNoise();
    QSet<int> done;
    for (const Measurement &measurement : std::as_const(m_measurements)) {
        if (done.contains(measurement.stockIndex))
            continue;
        done.insert(measurement.stockIndex);
        ORVA_Syllable *syllable = this->syllable(measurement.stockIndex);
        if (!syllable)
            continue;
        // Rebuilt from the recording every run, so noise never accumulates across runs.
        syllable->playCopy = syllable->recording;
        if (mixing && noise)
            syllable->playCopy.mixIn(*noise, gain, 1.0);
    }
}

void ORVA_Experiment::startContinuousNoise()
{
    if (!isTraining() || !m_client.noiseOn() || !m_client.noiseContinuous())
        return;
    if (ORVA_Wave *noise = currentNoise())
        noise->play(true, true);
}

void ORVA_Experiment::setNoiseFade(double factor)
{
    const int level = m_client.noiseLevel();
    int volume = static_cast<int>(std::trunc((level + 100) * factor)) - 100;
    if (volume < -100)
        volume = -100;
    else if (volume > level)
        volume = level;
    if (ORVA_Wave *noise = currentNoise())
        noise->setVolume(volume);
}

void ORVA_Experiment::stopNoise()
{
    if (ORVA_Wave *noise = currentNoise())
        noise->stop();
}

} // namespace orva
