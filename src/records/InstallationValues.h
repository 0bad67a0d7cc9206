// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Status.h"

#include <QString>

namespace orva {

class Registry;

/// The three values the installation writes for the program: the installation folder, the
/// update client's folder and the user-interface language code. Read once at start-up.
struct InstallationValues
{
    /// "SOFTWARE\Norquell\ORVA\3.1", in the local-machine hive.
    static QString keyPath();

    /// Reads "root", "TrueUpdateDir" and "language" in this order. A missing value fails, naming
    /// the first one that is missing; the caller then must not run on half set up. A relative
    /// "root" or "TrueUpdateDir" is taken relative to the folder of the file that holds it.
    static Result<InstallationValues> read(const Registry &registry);

    QString root;
    QString trueUpdateDir;
    QString language;
    /// Optional: the update server's address ("UpdateServer") and the patch's file name on it
    /// ("UpdatePatch"); without them the update program answers that there is no connection.
    QString updateServer;
    QString updatePatch;
};

} // namespace orva
