// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/StartupChecks.h"

#include "engine/ORVA_Experiment.h"
#include "records/DataFolderLock.h"
#include "records/Settings.h"
#include "support/Logger.h"
#include "support/MessageBoxes.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QDir>

namespace orva::StartupChecks {

bool materialComplete(const ORVA_Experiment &experiment,
                      MessageBoxes &boxes,
                      const StringTable &strings)
{
    int missing = 0;
    if (experiment.trainStock().empty() || experiment.testStock().empty()
        || experiment.trainSyllableList().size() == 0)
        missing = Text::kMaterialMissing;
    else if (experiment.testSyllableList().size() != 1)
        missing = Text::kTestMaterialMissing;
    if (missing == 0)
        return true;
    boxes.show(strings.text(Text::kErrorTitle), strings.text(missing), MessageIcon::Error,
               MessageButtons::Ok);
    logMessage(1, "END: On Create, %s\n",
               missing == Text::kMaterialMissing ? "no recordings" : "no test recordings");
    return false;
}

void reportUnplayableRecordings(const ORVA_Experiment &experiment,
                                MessageBoxes &boxes,
                                const StringTable &strings)
{
    const QStringList names = experiment.unplayableRecordings();
    if (names.isEmpty())
        return;
    const QString text =
        strings.text(Text::kUnplayableRecordings).arg(names.join(QStringLiteral(", ")));
    logMessage(1, QStringLiteral("ERROR: %1\n").arg(text));
    boxes.show(strings.text(Text::kWarningTitle), text, MessageIcon::Warning, MessageButtons::Ok);
}

bool lockDataFolder(DataFolderLock &lock,
                    const QString &folder,
                    MessageBoxes &boxes,
                    const StringTable &strings)
{
    if (lock.lock(folder) != DataFolderLock::Outcome::HeldByOther)
        return true;
    boxes.show(strings.text(Text::kErrorTitle),
               strings.text(Text::kDataFolderInUse)
                   .arg(QDir::toNativeSeparators(folder))
                   .arg(lock.holder()),
               MessageIcon::Error, MessageButtons::Ok);
    logMessage(1, "END: On Create, the data folder is in use\n");
    return false;
}

bool dataDirectory(Settings &settings,
                   const QString &defaultDirectory,
                   MessageBoxes &boxes,
                   const StringTable &strings)
{
    if (settings.hasDataDirectory())
        return true;
    const QString text =
        QStringLiteral("%1 %2 %3")
            .arg(strings.text(Text::kDataFolderMissingBefore), settings.dataDirectory,
                 strings.text(Text::kDataFolderMissingAfter));
    const MessageAnswer answer = boxes.show(strings.text(Text::kErrorTitle), text,
                                            MessageIcon::Question, MessageButtons::YesNo);
    if (answer == MessageAnswer::Yes)
        settings.dataDirectory = defaultDirectory;
    return settings.hasDataDirectory();
}

} // namespace orva::StartupChecks
