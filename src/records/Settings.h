// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/ORVA_Proband.h"
#include "support/Languages.h"
#include "support/Status.h"

#include <QString>

namespace orva {

class LineSource;
class StringTable;

/// The program's settings, kept in "bin/ORVA.ini" below the installation folder: read once at
/// start, written once at the end, with the record of the last client. A plain value; the main
/// window owns one. UI thread only.
class Settings
{
public:
    /// The data directory holds at most this many characters; a longer one in the file is ignored.
    static constexpr int kMaxDataDirectoryChars = 383;
    /// "ExpLanguage" when no material language was chosen yet.
    static constexpr int kNoLanguage = NoLanguage;
    static constexpr int kMinThreshold = -90;
    static constexpr int kMaxThreshold = 0;

    /// "<base>/bin/ORVA.ini".
    static QString filePath(const QString &baseDirectory);
    /// "<base>/data", the default folder of the client files.
    static QString defaultDataDirectory(const QString &baseDirectory);

    /// Every setting to its default and the data directory to "<base>/data"; the client record
    /// is left alone.
    void setDefaults(const QString &baseDirectory);

    /// Reads the file; false when it cannot be opened (every setting then keeps its value).
    /// Keys missing from the file keep their values too, so set the defaults first.
    [[nodiscard]] bool read(const QString &path);
    /// read() from lines already open.
    void read(LineSource &source);
    /// Writes the file, replacing it only once it was written completely.
    [[nodiscard]] Status write(const QString &path) const;
    /// The text of the file, with "\n" line ends.
    QString toText() const;

    /// The material language to apply after reading: "ExpLanguage", or `userInterfaceLanguage`
    /// when the file named none.
    int materialLanguage(int userInterfaceLanguage) const;

    /// Whether the data directory names a folder that exists.
    bool hasDataDirectory() const;

    QString dataDirectory;
    int expLanguage = kNoLanguage;
    int threshold = -40; ///< dB relative to full scale, kMinThreshold..kMaxThreshold
    /// Written for the files' sake but never read back: the default always applies.
    int waitForDelay = 3000;
    int trainSaveMode = 1; ///< 0 never, 1 only after a complete run, 2 always
    int preTestSaveMode = 1;
    int mainTestSaveMode = 1;
    int trainPrintMode = 1;
    int preTestPrintMode = 1;
    int mainTestPrintMode = 1;
    bool doIntro = true;
    bool doAudioIntro = true;
    /// The last client; after reading, the caller loads the client's user log.
    ORVA_Proband client;
};

} // namespace orva
