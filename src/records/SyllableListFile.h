// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Status.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace orva {

class LineSource;

/// The operator's own training lists of every material language, one file for the whole
/// installation ("bin/ORVA.ors"): a header "ORVA SyllableList 3.0", the section "[Syllablelist]"
/// and one line per list of blank-separated fields. Plain functions over plain values.
class SyllableListFile
{
public:
    /// One line of the file.
    struct OwnList
    {
        QString label; ///< one word
        int language = -1; ///< material language 0..5, -1 when the code is none of the six
        QString languageCode; ///< the code as written
        QStringList syllables; ///< at most kMaxSyllables
        int id = -1; ///< -1 in files before version 3.0: assigned when the list is added
        bool active = true; ///< false once the operator deleted the list

        bool operator==(const OwnList &) const = default;
    };

    static constexpr int kMaxFields = 10;
    static constexpr int kMaxSyllables = kMaxFields - 4;
    /// Longer fields are not read: the list is dropped.
    static constexpr int kMaxFieldChars = 99;

    /// "<base>/bin/ORVA.ors".
    static QString filePath(const QString &baseDirectory);
    /// "DE_DE" … "PL_PL" for 0 … 5.
    static QString upperCode(int language);

    /// Every list of the file, of all languages, in file order. Fails when the file cannot be
    /// opened or "[Syllablelist]" comes before the header.
    static Result<QList<OwnList>> read(const QString &path);
    static Result<QList<OwnList>> read(LineSource &source);
    /// Writes `lists` in their order, replacing `path` only once everything was written.
    static Status write(const QString &path, const QList<OwnList> &lists);
    /// The text of the file, with "\n" line ends. Labels are made one word; a list keeps at most
    /// kMaxSyllables syllables.
    static QString toText(const QList<OwnList> &lists);
};

} // namespace orva
