// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

class DataFolderLock;
class MessageBoxes;
class ORVA_Experiment;
class Settings;
class StringTable;

/// What the start-up checks before the window opens (and the data folder after the options);
/// each tells the operator in a box.
namespace StartupChecks {

/// False, after the error box, when the material lacks the recordings a run needs: the
/// training or test stock, the training list, or the one test list. The program must end.
bool materialComplete(const ORVA_Experiment &experiment,
                      MessageBoxes &boxes,
                      const StringTable &strings);
/// Names the recordings of the material that the player cannot play, in a warning box.
void reportUnplayableRecordings(const ORVA_Experiment &experiment,
                                MessageBoxes &boxes,
                                const StringTable &strings);
/// Takes `lock` on the data folder `folder`; false, after the error box that names the other
/// program, when another running program holds it. The program must end then.
bool lockDataFolder(DataFolderLock &lock,
                    const QString &folder,
                    MessageBoxes &boxes,
                    const StringTable &strings);

/// When the settings' data directory does not exist, asks whether to go back to
/// `defaultDirectory` (the installation's data folder, "<base>/data" in a portable one) and does
/// so on Yes. False when the directory is still missing afterwards.
bool dataDirectory(Settings &settings,
                   const QString &defaultDirectory,
                   MessageBoxes &boxes,
                   const StringTable &strings);

} // namespace StartupChecks

} // namespace orva
