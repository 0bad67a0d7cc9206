// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/AudioOutPlayback.h"

#include "audio/ORVA_Wave.h"
#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "records/ORVA_Date.h"
#include "records/StartupData.h"
#include "support/Clock.h"
#include "support/Languages.h"
#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QDate>

#include <algorithm>

namespace orva {

namespace {

// Resource strings of the instruction and the hearing check.
constexpr int kHearingAdviceText = 145;
constexpr int kHearingCheckFileMissingText = 148;
constexpr int kInstructionFileMissingText = 149;
constexpr int kHearingCheckAnnouncementText = 207;

bool isCalendarDay(const ORVA_Date &date)
{
    return date.isValid() && QDate::isValid(date.year, date.month, date.day);
}

} // namespace

AudioOutPlayback::AudioOutPlayback(const StartupData &startup,
                                   const ORVA_Experiment &experiment,
                                   RunController &controller,
                                   const Clock &clock,
                                   MessageBoxes &boxes,
                                   View &view)
    : m_startup(startup)
    , m_experiment(experiment)
    , m_controller(controller)
    , m_clock(clock)
    , m_boxes(boxes)
    , m_view(view)
{ }

AudioOutPlayback::~AudioOutPlayback()
{
    if (m_wave)
        m_wave->stop();
}

std::optional<int> AudioOutPlayback::ageInYears(const ORVA_Date &birthday, const ORVA_Date &runDate)
{
    // The default birthday 0.0.1990 of a client nobody entered one for is no day at all, and
    // neither is 31.02.: such a client's age is unknown, not 25 or 15.
    if (!isCalendarDay(birthday) || !isCalendarDay(runDate))
        return std::nullopt;
    int age = runDate.year - birthday.year;
    if (runDate.month < birthday.month
        || (runDate.month == birthday.month && runDate.day < birthday.day))
        --age;
    if (age < 0)
        return std::nullopt;
    return age;
}

bool AudioOutPlayback::hearsAdultInstruction(const ORVA_Date &birthday, const ORVA_Date &runDate)
{
    const std::optional<int> age = ageInYears(birthday, runDate);
    return age && *age >= kAdultAge;
}

QString AudioOutPlayback::instructionPath(const QString &baseDirectory, int language, bool adult)
{
    return QStringLiteral("%1/media/%2/%3")
        .arg(baseDirectory, languageCode(language),
             adult ? QStringLiteral("adult_in.wav") : QStringLiteral("child_in.wav"));
}

QString AudioOutPlayback::hearingCheckPath(const QString &baseDirectory)
{
    return QStringLiteral("%1/media/Hoertest01.wav").arg(baseDirectory);
}

QString AudioOutPlayback::testTonePath(const QString &baseDirectory)
{
    return QStringLiteral("%1/media/500Hz.wav").arg(baseDirectory);
}

double AudioOutPlayback::progressFraction(qint64 nowUs) const
{
    if (m_durationMs <= 0)
        return 1.0;
    const double fraction = double(nowUs - m_startUs) / 1000.0 / double(m_durationMs);
    return std::clamp(fraction, 0.0, 1.0);
}

double AudioOutPlayback::progressFraction() const
{
    return progressFraction(m_clock.nowUs());
}

bool AudioOutPlayback::mayStart(const char *refusal) const
{
    if (isFree(m_controller.programState()))
        return true;
    logMessage(1, "%s", refusal);
    return false;
}

bool AudioOutPlayback::startPlaying(const QString &path, int missingText)
{
    m_controller.setProgramState(ProgramState::OtherAudio);
    m_wave = std::make_unique<ORVA_Wave>();
    if (!m_wave->loadFile(path)) {
        const StringTable &strings = m_startup.strings;
        m_boxes.show(strings.text(Text::kErrorTitle), strings.text(missingText), MessageIcon::Error,
                     MessageButtons::Ok);
        // Nothing would ever end this playback: no dialog is open and no timer runs. The empty
        // wave goes and the program is usable again.
        m_wave.reset();
        m_durationMs = 0;
        m_controller.setProgramState(ProgramState::Idle);
        m_view.stateChanged();
        return false;
    }
    m_durationMs = m_wave->durationMs();
    m_startUs = m_clock.nowUs();
    (void)m_wave->play(false, false);
    return true;
}

void AudioOutPlayback::onStartInstruction()
{
    logMessage(1, "BEGIN: On Start Instruction\n");
    if (!mayStart("Exp is running; END\n"))
        return;
    m_view.storeComment();
    const ORVA_Proband &client = m_experiment.client();
    const QString path =
        instructionPath(m_startup.baseDirectory, m_startup.uiLanguage,
                        hearsAdultInstruction(client.birthday(), client.runDate()));
    logMessage(1, QStringLiteral("Start Instruction %1\n").arg(path));
    if (!startPlaying(path, kInstructionFileMissingText)) {
        logMessage(1, "END  : On Start Instruction, no recording\n");
        return;
    }
    m_view.openInstructionDialog();
    m_controller.setStateText(QString());
    m_view.stateChanged();
    logMessage(1, "END  : On Start Instruction\n");
}

void AudioOutPlayback::onStartAuditionTest()
{
    logMessage(1, "BEGIN: On Start Audition Test\n");
    if (!mayStart("   OSAT 10: Exp or AudioOut is running; END\n"))
        return;
    m_view.showNotice(kHearingAdviceText);
    m_view.showNotice(kHearingCheckAnnouncementText);
    if (!startPlaying(hearingCheckPath(m_startup.baseDirectory), kHearingCheckFileMissingText)) {
        logMessage(1, "END  : On Start Audition Test, no recording\n");
        return;
    }
    // A recording without samples still ends, at the next turn of the event loop.
    m_view.setTimer(kHearingCheckTimer, std::max<qint32>(1, m_durationMs));
    m_controller.setStateText(QString());
    m_view.stateChanged();
    logMessage(1, "END  : On Start Audition Test\n");
}

bool AudioOutPlayback::onStartAudioSetup()
{
    logMessage(1, "START: onSettingsAudioDialog\n");
    const bool free = mayStart("   Exp or AudioOut is running; END\n");
    if (free) {
        m_controller.setProgramState(ProgramState::TestAudio);
        m_view.stateChanged();
    }
    logMessage(1, "END: onSettingsAudioDialog\n");
    return free;
}

void AudioOutPlayback::playTestTone()
{
    if (m_controller.programState() != ProgramState::TestAudio)
        return;
    if (!m_wave) {
        // Kept even when the file could not be read: its messages come once per opening, and
        // an empty wave plays nothing.
        m_wave = std::make_unique<ORVA_Wave>();
        const QString path = testTonePath(m_startup.baseDirectory);
        if (!m_wave->loadFile(path))
            logMessage(1, QStringLiteral("   Audio set-up: no test tone in %1\n").arg(path));
        m_durationMs = m_wave->durationMs();
    }
    m_wave->stop();
    m_startUs = m_clock.nowUs();
    (void)m_wave->play(false, false);
}

void AudioOutPlayback::onAudioEnd()
{
    if (isAudioOutputBusy(m_controller.programState())) {
        // Whatever ended it, the hearing check's timer must not end the next playback early.
        m_view.stopTimer(kHearingCheckTimer);
        if (m_wave) {
            m_wave->stop();
            m_wave.reset();
        }
        m_controller.setProgramState(ProgramState::Idle);
        m_view.menuSettings();
    }
    m_view.closeModelessDialog();
}

} // namespace orva
