// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace orva {

class ORVA_Proband;
class StringTable;

/// Names and places of a client's files: run files in one folder per material language of the
/// data directory, named after the client, the run's start and its kind.
class ClientFiles
{
public:
    /// What a run file name is built from.
    struct Run
    {
        int mode = 0; ///< 1 pre-test, 2 main test, 3 training
        int currentIndex = 0; ///< the run's current position; the name carries it plus one
        QString dataDirectory;
        QString languageCode; ///< "de_de" … "pl_pl", the folder of the material language
    };

    /// `name` as one part of a file name: "/", "\" and control characters become "_", and so does
    /// a leading ".", so that a pasted name can neither leave its folder nor hide the file. A name
    /// longer than kMaxNamePartBytes in UTF-8 is cut there, so that a run file name with both
    /// names stays within the 255 bytes a file system allows. Ordinary names are returned
    /// unchanged.
    static QString safeFileNamePart(const QString &name);
    static constexpr int kMaxNamePartBytes = 100;

    /// A run file name, or why there is none.
    struct FileName
    {
        QString path;
        int refusal = 0; ///< resource string of the reason (141, 142); 0 when built
        bool ok() const { return refusal == 0; }
    };
    /// The run file name "<last>[-<first>]_yy-mm-dd_hh-mm-<kind><nn>.orv", with
    /// "<data directory>/<language>/" in front when `withFolder`. Without a last name or without a
    /// valid birthday there is none; the refusal says which, for the caller to tell the user.
    static FileName constructFileName(bool withFolder,
                                      const ORVA_Proband &client,
                                      const Run &run,
                                      const StringTable &strings);

    /// The run file a built name stands for: its last 8 characters (kind, number, ".orv") are
    /// replaced by any text and ".orv", and the first such file of the folder in name order is
    /// taken. Empty when there is none. The client's part of the name is matched exactly, so
    /// names with wildcard characters find their own files only.
    static QString findRunFile(const QString &builtPath);

    /// `path` when no file has that name yet; otherwise the first free name with "-2", "-3", …
    /// before the extension, so that a second run of a client saved in the same minute is kept
    /// beside the first instead of replacing it.
    static QString freeRunPath(const QString &path);
};

} // namespace orva
