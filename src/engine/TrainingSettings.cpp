// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TrainingSettings.h"

#include "engine/SyllableList.h"
#include "records/ORVA_Proband.h"

namespace orva {

TrainingSettings TrainingSettings::fromClient(const ORVA_Proband &client, int language)
{
    TrainingSettings settings;
    settings.selection = client.syllableSelection();
    settings.repeat = client.repeat();
    settings.repetitions = client.repetitions();
    settings.chosenList = client.chosenList(language);
    settings.displayMode = client.displayMode() ? 1 : 0;
    settings.noiseOn = client.noiseOn();
    settings.noiseContinuous = client.noiseContinuous();
    settings.noiseType = client.noiseType();
    settings.noiseLevel = client.noiseLevel();
    settings.timeShift = client.timeShift();
    return settings;
}

void TrainingSettings::writeTo(ORVA_Proband &client, int language) const
{
    client.setRepeat(repeat);
    client.setRepetitions(repetitions);
    client.setNoiseLevel(noiseLevel);
    client.setTimeShift(timeShift);
    client.setSyllableSelection(selection);
    client.setNoiseOn(noiseOn);
    client.setNoiseContinuous(noiseContinuous);
    client.setDisplayMode(displayMode != 0);
    client.setChosenList(language, chosenList);
    client.setNoiseType(noiseType);
}

int TrainingSettings::runLength(const ORVA_Proband &client,
                                const SyllableListSet &lists,
                                int language)
{
    return lists.sizeOf(client.chosenList(language)) * qBound(0, client.repetitions(), 1000);
}

void TrainingListChoice::fill(const SyllableListSet &lists)
{
    m_texts.clear();
    m_ids.clear();
    for (const SyllableList &list : lists.lists()) {
        if (!list.active)
            continue;
        m_texts << list.displayText();
        m_ids << list.id;
    }
}

int TrainingListChoice::idAt(int index) const
{
    return index < 0 || index >= m_ids.size() ? -1 : m_ids[index];
}

QStringList TrainingListChoice::multiples(int listSize)
{
    QStringList texts;
    for (int multiple = 1; multiple <= 10; ++multiple)
        texts << QString::asprintf("%2d", listSize * multiple);
    return texts;
}

} // namespace orva
