// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/ORVA_Date.h"

#include <QString>

#include <array>
#include <optional>

class QTextStream;

namespace orva {

class LineSource;

/// The client record: who the client is, when the run took place, and the client's run settings.
/// Its text form is the "[Proband]" section shared by run files, the settings and user logs.
class ORVA_Proband
{
public:
    static constexpr int kLanguageCount = 6;

    /// Defaults, with the run date set to now.
    ORVA_Proband();
    virtual ~ORVA_Proband() = default;
    ORVA_Proband(const ORVA_Proband &) = default;
    ORVA_Proband &operator=(const ORVA_Proband &) = default;

    /// Every field back to its default, the run date to now, both names to none.
    void setDefaults();

    /// Names are stored as entered; an empty text is stored as none.
    const std::optional<QString> &lastName() const { return m_lastName; }
    const std::optional<QString> &firstName() const { return m_firstName; }
    void setLastName(const QString &name);
    void setFirstName(const QString &name);

    ORVA_Date &birthday() { return m_birthday; }
    const ORVA_Date &birthday() const { return m_birthday; }
    ORVA_Date &runDate() { return m_runDate; }
    const ORVA_Date &runDate() const { return m_runDate; }

    /// The ranges the training settings offer. Values from files outside them are replaced by
    /// the nearest limit: a damaged file must neither freeze a training nor play noise louder
    /// than the loudest setting.
    static constexpr int kMaxTimeShiftMs = 5000;
    static constexpr int kMinNoiseLevelDb = -30;
    static constexpr int kMaxNoiseLevelDb = -3;

    /// Picture-to-sound time shift in ms (positive: the picture follows the sound), within
    /// ±kMaxTimeShiftMs.
    int timeShift() const { return m_timeShift; }
    /// Limits `ms` to the range and recomputes the answer window.
    void setTimeShift(int ms);
    /// How long a training run waits for the answer, derived from the time shift.
    int answerWindow() const { return m_answerWindow; }
    static int answerWindowFor(int timeShiftMs);

    /// Noise level in dB relative to the noise recording, kMinNoiseLevelDb … kMaxNoiseLevelDb.
    int noiseLevel() const { return m_noiseLevel; }
    /// Limits `dB` to the range.
    void setNoiseLevel(int dB);
    int syllableSelection() const { return m_syllableSelection; }
    void setSyllableSelection(int selection) { m_syllableSelection = selection; }
    int repetitions() const { return m_repetitions; }
    void setRepetitions(int repetitions) { m_repetitions = repetitions; }
    bool repeat() const { return m_repeat; }
    void setRepeat(bool repeat) { m_repeat = repeat; }
    bool noiseOn() const { return m_noiseOn; }
    void setNoiseOn(bool on) { m_noiseOn = on; }
    bool noiseContinuous() const { return m_noiseContinuous; }
    void setNoiseContinuous(bool continuous) { m_noiseContinuous = continuous; }
    /// true: the syllable group with the current syllable highlighted briefly; false: one syllable.
    bool displayMode() const { return m_displayMode; }
    void setDisplayMode(bool group) { m_displayMode = group; }
    int noiseType() const { return m_noiseType; }
    void setNoiseType(int type) { m_noiseType = type; }
    /// Id of the chosen training list for material language `language` (0..5); 0 out of range.
    int chosenList(int language) const;
    void setChosenList(int language, int listId);
    /// 1, 2 or 3 of the run file the record was read from; 0 otherwise. Not stored.
    int runKind() const { return m_runKind; }
    void setRunKind(int kind) { m_runKind = kind; }
    /// The path of the run file the record was read from; empty otherwise. Not stored.
    const QString &runFile() const { return m_runFile; }
    void setRunFile(const QString &path) { m_runFile = path; }

    /// Writes the "[Proband]" section with "\n" line ends.
    bool write(QTextStream &out) const;
    /// Reads the "[Proband]" section from the current position of `source`. Keys missing from the
    /// section leave their fields unchanged. Fails when another header or a key line comes first;
    /// a following section header is handed back to `source`.
    bool read(LineSource &source);

    QString birthdayText(int language) const { return m_birthday.displayText(language); }
    QString runDateText(int language) const { return m_runDate.displayText(language); }

    /// Same birthday (day, month, year) and the same names.
    static bool equal(const ORVA_Proband &a, const ORVA_Proband &b);
    /// Last name, first name, birthday, run date.
    static bool less(const ORVA_Proband &a, const ORVA_Proband &b);

private:
    std::optional<QString> m_firstName;
    std::optional<QString> m_lastName;
    ORVA_Date m_birthday;
    int m_timeShift = 0;
    int m_answerWindow = 2000;
    int m_noiseLevel = -15;
    ORVA_Date m_runDate;
    int m_syllableSelection = 1;
    int m_repetitions = 5;
    bool m_repeat = true;
    bool m_noiseOn = false;
    bool m_noiseContinuous = false;
    bool m_displayMode = true;
    int m_noiseType = 0;
    std::array<int, kLanguageCount> m_chosenLists {};
    int m_runKind = 0;
    QString m_runFile;
};

} // namespace orva
