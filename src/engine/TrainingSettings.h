// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>

namespace orva {

class ORVA_Proband;
class SyllableListSet;

/// The working copy of the ten training keys of a client record that the training settings
/// edit; written back only when the operator confirms. A plain value; any thread.
struct TrainingSettings
{
    /// The record's values; the chosen list is the one of material language `language`.
    static TrainingSettings fromClient(const ORVA_Proband &client, int language);
    /// Writes every value back, in the order the record has always been written in, the chosen
    /// list for `language` only. Values are stored as they are, also 0 repetitions or list -1.
    void writeTo(ORVA_Proband &client, int language) const;
    /// Syllables of a training run of `client`: the chosen list's size times the repetitions;
    /// 0 without such a list.
    static int runLength(const ORVA_Proband &client, const SyllableListSet &lists, int language);

    int selection = 1; ///< `Silbenauswahl`: 1 shuffled list, 2 random from all, 3 list in order
    bool repeat = true; ///< `Wiederholen`
    int repetitions = 5; ///< `Wiederholungen`: the multiple of the list's size
    int chosenList = 0; ///< `Silbenliste` of the language; -1 for none
    int displayMode = 1; ///< `Anzeigemodus`: 0 single syllable, 1 syllable group
    bool noiseOn = false; ///< `Mit Rauschen`
    bool noiseContinuous = false; ///< `Rauschen dauerhaft`
    int noiseType = 0; ///< `Rauschart`: 0 noise, 1 voices
    int noiseLevel = -15; ///< `Rauschpegel` in dB, -30 … -3
    int timeShift = 0; ///< `Zeitdifferenz` in ms, -5000 … 5000
};

/// The entries of the training settings' list box: the active lists in set order with the id of
/// each, and the run lengths offered for a list. A plain value; any thread.
class TrainingListChoice
{
public:
    void fill(const SyllableListSet &lists);
    const QStringList &texts() const { return m_texts; }
    const QList<int> &ids() const { return m_ids; }
    /// The entry showing list `id`, or -1.
    int indexOf(int id) const { return int(m_ids.indexOf(id)); }
    /// The id of entry `index`; -1 for no entry or one beyond the sequence.
    int idAt(int index) const;
    /// " n", "2n", … "10n" ("%2d") for a list of `listSize` syllables.
    static QStringList multiples(int listSize);

private:
    QStringList m_texts;
    QList<int> m_ids;
};

} // namespace orva
