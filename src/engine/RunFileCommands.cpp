// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/RunFileCommands.h"

#include "engine/ORVA_Experiment.h"
#include "engine/RunController.h"
#include "records/RunFile.h"
#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/SaveFailure.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orva {

RunFileCommands::RunFileCommands(ORVA_Experiment &experiment,
                                 RunController &controller,
                                 const QString &dataDirectory,
                                 QString unsavedRunPath,
                                 MessageBoxes &boxes,
                                 const StringTable &strings,
                                 RunFileView &view)
    : m_experiment(experiment)
    , m_controller(controller)
    , m_dataDirectory(dataDirectory)
    , m_unsavedRunPath(std::move(unsavedRunPath))
    , m_boxes(boxes)
    , m_strings(strings)
    , m_view(view)
{ }

void RunFileCommands::newRun()
{
    logMessage(1, "BEGIN: On File New\n");
    if (m_controller.isRunActive())
        return;
    m_controller.setStateText(QString());
    if (!askToSaveUnsaved())
        return;
    const MessageAnswer sameClient =
        m_boxes.show(m_strings.text(Text::kQuestionTitle), m_strings.text(Text::kSameClient),
                     MessageIcon::Question, MessageButtons::YesNoCancel);
    m_view.resetRun(sameClient == MessageAnswer::No);
    m_controller.setProgramState(ProgramState::Idle);
    m_controller.setRunState(RunState::Empty);
    m_view.stateChanged();
}

bool RunFileCommands::maySave() const
{
    return !m_controller.isRunActive() && m_controller.maySave();
}

bool RunFileCommands::refuseUnnamed(const ClientFiles::FileName &name) const
{
    if (name.ok())
        return true;
    m_boxes.show(m_strings.text(Text::kErrorTitle), m_strings.text(name.refusal),
                 MessageIcon::Error, MessageButtons::Ok);
    return false;
}

bool RunFileCommands::save()
{
    logMessage(1, "BEGIN: On File Save\n");
    if (!maySave() || m_controller.runState() == RunState::Saved)
        return false;
    m_controller.setStateText(QString());
    m_view.storeComment();
    const ClientFiles::FileName name =
        ClientFiles::constructFileName(true, m_experiment.client(), runForFileName(), m_strings);
    if (!refuseUnnamed(name))
        return false;
    if (!writeRun(ClientFiles::freeRunPath(name.path)))
        return false;
    m_boxes.show(m_strings.text(Text::kNoticeTitle), m_strings.text(Text::kFileSaved),
                 MessageIcon::Information, MessageButtons::Ok);
    m_controller.setRunState(RunState::Saved);
    m_view.runFilesChanged();
    m_view.stateChanged();
    return true;
}

bool RunFileCommands::saveAs()
{
    logMessage(1, "BEGIN: On File SaveAs\n");
    if (!maySave() || !m_chooser)
        return false;
    m_controller.setStateText(QString());
    m_view.storeComment();
    const ClientFiles::FileName name =
        ClientFiles::constructFileName(false, m_experiment.client(), runForFileName(), m_strings);
    if (!refuseUnnamed(name))
        return false;
    const QString &proposed = name.path;
    const QString folder =
        QStringLiteral("%1/%2").arg(m_dataDirectory, m_experiment.languageCode());
    const QString title = QStringLiteral("Speichere %1-Datei").arg(QStringLiteral("orv"));
    const QString filters =
        QStringLiteral("%1-Datei (*.%1);;Alle Dateien (*.*)").arg(QStringLiteral("orv"));
    QString path = m_chooser->choosePath(folder, proposed, title, filters);
    if (path.isEmpty())
        return false;
    if (!path.contains(QLatin1Char('.')))
        path += QStringLiteral(".orv");
    if (QFileInfo::exists(path)) {
        const MessageAnswer replace =
            m_boxes.show(m_strings.text(Text::kQuestionTitle),
                         m_strings.text(Text::kReplaceFile).arg(QDir::toNativeSeparators(path)),
                         MessageIcon::Question, MessageButtons::YesNo);
        if (replace != MessageAnswer::Yes)
            return false;
    }
    if (!writeRun(path))
        return false;
    m_controller.setRunState(RunState::Saved);
    m_view.runFilesChanged();
    m_view.stateChanged();
    return true;
}

bool RunFileCommands::askToSaveUnsaved()
{
    if (!m_controller.mustAskToSave())
        return true;
    const MessageAnswer answer =
        m_boxes.show(m_strings.text(Text::kQuestionTitle), m_strings.text(Text::kAskToSave),
                     MessageIcon::Question, MessageButtons::YesNoCancel);
    if (answer == MessageAnswer::Cancel)
        return false;
    return answer == MessageAnswer::No || save();
}

ClientFiles::Run RunFileCommands::runForFileName() const
{
    ClientFiles::Run run;
    run.mode = m_experiment.mode();
    run.currentIndex = m_experiment.currentIndex();
    run.dataDirectory = m_dataDirectory;
    run.languageCode = m_experiment.languageCode();
    return run;
}

bool RunFileCommands::writeRun(const QString &path)
{
    const Status written = m_experiment.write(path);
    if (written.ok())
        return true;
    // The run stays unsaved, so that it can be saved again once there is room.
    reportSaveFailure(m_boxes, m_strings, kRunNotSaved, written);
    return false;
}

bool RunFileCommands::closeForExit()
{
    if (m_controller.isRunActive())
        m_controller.onAbort();
    if (!askToSaveUnsaved())
        return false;
    m_view.storeComment();
    m_controller.setRunState(RunState::Empty);
    const Status written = m_experiment.writeUserDefinedTrainSyllableTrain();
    if (!written.ok())
        reportSaveFailure(m_boxes, m_strings, kOwnListsNotSaved, written);
    return true;
}

void RunFileCommands::closeForTermination()
{
    if (m_controller.isRunActive())
        m_controller.onAbort();
    m_view.storeComment();
    if (m_controller.mustAskToSave()) {
        const Status kept = m_experiment.write(m_unsavedRunPath);
        logMessage(1,
                   kept.ok()
                       ? QStringLiteral("   OTE 10: unsaved run kept in %1\n").arg(m_unsavedRunPath)
                       : QStringLiteral("ERROR: %1\n").arg(kept.error()));
    }
    m_controller.setRunState(RunState::Empty);
    // Nobody is there to answer a box any more.
    const Status written = m_experiment.writeUserDefinedTrainSyllableTrain();
    if (!written.ok())
        logMessage(1, QStringLiteral("ERROR: %1\n").arg(written.error()));
}

void RunFileCommands::offerUnsavedRun(int uiLanguage)
{
    const QString &path = m_unsavedRunPath;
    if (!QFileInfo::exists(path))
        return;
    RunFileContent run;
    const int read = RunFile::read(path, m_experiment.expLanguage(), run);
    const QString client = run.client.lastName().value_or(QString()) + QLatin1String(", ")
        + run.client.firstName().value_or(QString()) + QLatin1Char(' ')
        + run.client.runDate().displayText(uiLanguage) + QLatin1Char(' ')
        + run.client.runDate().timeText();
    const MessageAnswer answer = read == 0
        ? m_boxes.show(m_strings.text(Text::kQuestionTitle),
                       m_strings.text(Text::kOpenUnsavedRun).arg(client), MessageIcon::Question,
                       MessageButtons::YesNo)
        : MessageAnswer::No;
    if (read != 0 || (answer == MessageAnswer::Yes && m_experiment.read(path) != 0)) {
        // Left for a person to look at: nothing that could not be opened is thrown away.
        logMessage(1, QStringLiteral("ERROR: the kept unsaved run %1 cannot be read\n").arg(path));
        return;
    }
    if (answer == MessageAnswer::Yes) {
        int judged = 0;
        while (judged < m_experiment.measurementCount()
               && m_experiment.measurement(judged).result != Unjudged)
            ++judged;
        const bool complete = judged == m_experiment.measurementCount();
        // The file name counts the syllables presented, as at the end of the run.
        m_experiment.setCurrentIndex(judged - 1);
        m_controller.setProgramState(ProgramState::ExpCompleted);
        m_controller.setRunState(complete ? RunState::Finished : RunState::Aborted);
        m_view.showClient();
    }
    // Opened or declined: the run is the program's again, or the operator let it go.
    QFile::remove(path);
    m_view.stateChanged();
}

} // namespace orva
