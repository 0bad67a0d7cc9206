// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ScratchRunReader.h"

#include "engine/ORVA_Experiment.h"

namespace orva {

ScratchRunReader::ScratchRunReader(const QString &baseDirectory, int language)
    : m_model(std::make_shared<ORVA_Experiment>())
{
    m_model->setBaseDirectory(baseDirectory);
    m_model->setLanguage(language, false, false);
}

bool ScratchRunReader::operator()(const QString &path, ORVA_Proband &record) const
{
    if (m_model->readDetached(path) != 0)
        return false;
    record = m_model->client();
    record.setRunKind(m_model->mode());
    return true;
}

} // namespace orva
