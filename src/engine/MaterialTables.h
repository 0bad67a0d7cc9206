// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace orva {

/// A built-in group of syllables offered as a list.
struct SyllableGroup
{
    QString label;
    QStringList names;
};

/// The built-in syllable names and groups of one material language. The name tables fill the
/// stocks when no recordings are read; the groups become the built-in lists.
struct MaterialTables
{
    QStringList trainingNames;
    QStringList testNames;
    QList<SyllableGroup> trainingGroups;
    QList<SyllableGroup> testGroups;
};

/// The tables of material language 0..5 (Spanish uses the British English ones); empty tables
/// for any other value.
const MaterialTables &materialTables(int language);

/// The syllable a recording's path names: the file name up to its first ".", ASCII letters
/// lowered, then the transliteration codes replaced ("dz1a1.wav" is "dżą", "be3.wav" is "bé").
QString syllableNameFromPath(const QString &path);
/// The file name (without extension) under which syllable `name` is recorded: the reverse of
/// the transliteration ("dżą" is "dz1a1").
QString recordingBaseName(const QString &name);

} // namespace orva
