// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

namespace orva {

class ORVA_Experiment;
class ORVA_Proband;

/// Reads run files for the client list into a scratch run model that holds the names of the
/// material language but no recordings; no user log is saved or loaded. Copies share the model,
/// so a reader can be handed to ClientList::getProbandList by value. UI thread only.
class ScratchRunReader
{
public:
    ScratchRunReader(const QString &baseDirectory, int language);

    /// The client record of the run file at `path`, with the run's kind; false when the file
    /// does not read (another language, damaged, a syllable not in the stock).
    bool operator()(const QString &path, ORVA_Proband &record) const;

private:
    std::shared_ptr<ORVA_Experiment> m_model;
};

} // namespace orva
