// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ORVA_Proband.h"

#include "records/LineSource.h"
#include "support/Logger.h"

#include <QTextStream>

namespace orva {

namespace {

enum class Field {
    LastName,
    FirstName,
    Birthday,
    RunDate,
    TimeShift,
    NoiseLevel,
    Selection,
    List1,
    List5,
    List4,
    List0,
    List2,
    List3,
    Repetitions,
    Repeat,
    NoiseOn,
    NoiseContinuous,
    DisplayMode,
    NoiseType,
};

struct Key
{
    const char16_t *prefix;
    Field field;
};

// Matched by prefix in this order; the value starts right after the key and its "=".
constexpr Key kKeys[] = {
    { u"Name", Field::LastName },
    { u"Vorname", Field::FirstName },
    { u"Geburtstag", Field::Birthday },
    { u"Versuchsdatum", Field::RunDate },
    { u"Zeitdifferenz", Field::TimeShift },
    { u"Rauschpegel", Field::NoiseLevel },
    { u"Silbenauswahl", Field::Selection },
    { u"Silbenliste EN_US", Field::List1 },
    { u"Silbenliste PL_PL", Field::List5 },
    { u"Silbenliste FR_FR", Field::List4 },
    { u"Silbenliste DE_DE", Field::List0 },
    { u"Silbenliste EN_UK", Field::List2 },
    { u"Silbenliste ES_ES", Field::List3 },
    { u"Wiederholungen", Field::Repetitions },
    { u"Wiederholen", Field::Repeat },
    { u"Mit Rauschen", Field::NoiseOn },
    { u"Rauschen dauerhaft", Field::NoiseContinuous },
    { u"Anzeigemodus", Field::DisplayMode },
    { u"Rauschart", Field::NoiseType },
};

std::optional<QString> nameOrNone(const QString &name)
{
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

bool sameName(const std::optional<QString> &a, const std::optional<QString> &b)
{
    return a.has_value() == b.has_value() && (!a || *a == *b);
}

// -1: a first, 1: b first, 0: undecided. A present name sorts before a missing one.
int compareNames(const std::optional<QString> &a, const std::optional<QString> &b)
{
    if (a && b) {
        if (*a == *b)
            return 0;
        return QStringView(*a).compare(QStringView(*b), Qt::CaseSensitive) < 0 ? -1 : 1;
    }
    if (a)
        return -1;
    if (b)
        return 1;
    return 0;
}

void logIfReplaced(const char *key, int stored, int used)
{
    if (stored != used)
        logMessage(1, "   Proband: %s=%d is outside the settings' range; %d is used\n", key, stored,
                   used);
}

} // namespace

ORVA_Proband::ORVA_Proband()
{
    m_runDate.setNow();
}

void ORVA_Proband::setDefaults()
{
    *this = ORVA_Proband();
}

void ORVA_Proband::setLastName(const QString &name)
{
    m_lastName = nameOrNone(name);
}

void ORVA_Proband::setFirstName(const QString &name)
{
    m_firstName = nameOrNone(name);
}

void ORVA_Proband::setTimeShift(int ms)
{
    m_timeShift = qBound(-kMaxTimeShiftMs, ms, kMaxTimeShiftMs);
    m_answerWindow = answerWindowFor(m_timeShift);
}

void ORVA_Proband::setNoiseLevel(int dB)
{
    m_noiseLevel = qBound(kMinNoiseLevelDb, dB, kMaxNoiseLevelDb);
}

int ORVA_Proband::answerWindowFor(int timeShiftMs)
{
    const qint64 magnitude = qAbs(static_cast<qint64>(timeShiftMs));
    if (magnitude <= 1000)
        return 2000;
    const qint64 seconds = magnitude / 1000 + (magnitude % 1000 != 0 ? 1 : 0) + 1;
    return static_cast<int>(qMin<qint64>(seconds * 1000, std::numeric_limits<int>::max()));
}

int ORVA_Proband::chosenList(int language) const
{
    return (language >= 0 && language < kLanguageCount) ? m_chosenLists[language] : 0;
}

void ORVA_Proband::setChosenList(int language, int listId)
{
    if (language >= 0 && language < kLanguageCount)
        m_chosenLists[language] = listId;
}

bool ORVA_Proband::write(QTextStream &out) const
{
    out << "[Proband]\n";
    if (m_lastName)
        out << "Name=" << *m_lastName << "\n";
    if (m_firstName)
        out << "Vorname=" << *m_firstName << "\n";
    out << QString::asprintf("Geburtstag=%02d.%02d.%d\n", m_birthday.day, m_birthday.month,
                             m_birthday.year);
    out << QString::asprintf("Versuchsdatum=%02d.%02d.%d %02d:%02d\n", m_runDate.day,
                             m_runDate.month, m_runDate.year, m_runDate.hour, m_runDate.minute);
    out << "Zeitdifferenz=" << m_timeShift << "\n";
    out << "Rauschpegel=" << m_noiseLevel << "\n";
    out << "Silbenauswahl=" << m_syllableSelection << "\n";
    out << "Silbenliste DE_DE=" << m_chosenLists[0] << "\n";
    out << "Silbenliste EN_UK=" << m_chosenLists[2] << "\n";
    out << "Silbenliste EN_US=" << m_chosenLists[1] << "\n";
    out << "Silbenliste ES_ES=" << m_chosenLists[3] << "\n";
    out << "Silbenliste PL_PL=" << m_chosenLists[5] << "\n";
    out << "Silbenliste FR_FR=" << m_chosenLists[4] << "\n";
    out << "Wiederholungen=" << m_repetitions << "\n";
    out << "Wiederholen=" << (m_repeat ? 1 : 0) << "\n";
    out << "Mit Rauschen=" << (m_noiseOn ? 1 : 0) << "\n";
    out << "Rauschen dauerhaft=" << (m_noiseContinuous ? 1 : 0) << "\n";
    out << "Anzeigemodus=" << (m_displayMode ? 1 : 0) << "\n";
    out << "Rauschart=" << m_noiseType << "\n";
    return true;
}

bool ORVA_Proband::read(LineSource &source)
{
    bool found = false;
    QString line;
    for (qint64 lineStart = source.position(); source.readLine(line, 1023);
         lineStart = source.position()) {
        if (line.startsWith(u"[Proband]")) {
            found = true;
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            if (!found)
                return false;
            source.seek(lineStart);
            return true;
        }
        for (const Key &key : kKeys) {
            const QStringView prefix(key.prefix);
            if (!line.startsWith(prefix))
                continue;
            if (!found)
                return false;
            const QStringView value = QStringView(line).mid(qMin(prefix.size() + 1, line.size()));
            switch (key.field) {
            case Field::LastName:
                m_lastName = nameOrNone(value.toString());
                break;
            case Field::FirstName:
                m_firstName = nameOrNone(value.toString());
                break;
            case Field::Birthday:
                m_birthday.parse(value);
                break;
            case Field::RunDate:
                m_runDate.parse(value);
                break;
            case Field::TimeShift:
                setTimeShift(leadingInt(value));
                logIfReplaced("Zeitdifferenz", leadingInt(value), m_timeShift);
                break;
            case Field::NoiseLevel:
                setNoiseLevel(leadingInt(value));
                logIfReplaced("Rauschpegel", leadingInt(value), m_noiseLevel);
                break;
            case Field::Selection:
                m_syllableSelection = leadingInt(value);
                break;
            case Field::List0:
            case Field::List1:
            case Field::List2:
            case Field::List3:
            case Field::List4:
            case Field::List5: {
                static constexpr int kLanguageOf[] = { 1, 5, 4, 0, 2, 3 };
                const int index = static_cast<int>(key.field) - static_cast<int>(Field::List1);
                m_chosenLists[kLanguageOf[index]] = leadingInt(value);
                break;
            }
            case Field::Repetitions:
                m_repetitions = leadingInt(value);
                break;
            case Field::Repeat:
                m_repeat = leadingInt(value) != 0;
                break;
            case Field::NoiseOn:
                m_noiseOn = leadingInt(value) != 0;
                break;
            case Field::NoiseContinuous:
                m_noiseContinuous = leadingInt(value) != 0;
                break;
            case Field::DisplayMode:
                m_displayMode = leadingInt(value) != 0;
                break;
            case Field::NoiseType:
                m_noiseType = leadingInt(value);
                break;
            }
            break;
        }
    }
    return true;
}

bool ORVA_Proband::equal(const ORVA_Proband &a, const ORVA_Proband &b)
{
    return a.m_birthday == b.m_birthday && sameName(a.m_lastName, b.m_lastName)
        && sameName(a.m_firstName, b.m_firstName);
}

bool ORVA_Proband::less(const ORVA_Proband &a, const ORVA_Proband &b)
{
    if (const int byLast = compareNames(a.m_lastName, b.m_lastName))
        return byLast < 0;
    if (const int byFirst = compareNames(a.m_firstName, b.m_firstName))
        return byFirst < 0;
    if (a.m_birthday != b.m_birthday)
        return a.m_birthday < b.m_birthday;
    return a.m_runDate < b.m_runDate;
}

} // namespace orva
