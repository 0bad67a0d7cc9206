// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/Settings.h"

#include "records/LineSource.h"
#include "records/TextFile.h"
#include "support/Logger.h"
#include "support/ProgramVersion.h"
#include "support/StringTable.h"
#include "support/TextIds.h"

#include <QFileInfo>
#include <QTextStream>

namespace orva {

namespace {

constexpr int kMaxLineChars = 1023;

} // namespace

QString Settings::filePath(const QString &baseDirectory)
{
    return baseDirectory + QStringLiteral("/bin/ORVA.ini");
}

QString Settings::defaultDataDirectory(const QString &baseDirectory)
{
    return baseDirectory + QStringLiteral("/data");
}

void Settings::setDefaults(const QString &baseDirectory)
{
    ORVA_Proband keptClient = client;
    *this = Settings();
    client = keptClient;
    dataDirectory = defaultDataDirectory(baseDirectory);
}

bool Settings::read(const QString &path)
{
    logMessage(1, "BEGIN: read\n");
    TextFile file;
    if (file.openRead(path) != 0 || !file.isOpen())
        return false;
    read(file);
    return true;
}

void Settings::read(LineSource &source)
{
    // The value starts one character after the key; that character itself is not checked.
    struct IntKey
    {
        const char16_t *key;
        int *value;
        bool flag;
    };
    int doIntroValue = doIntro ? 1 : 0;
    int doAudioIntroValue = doAudioIntro ? 1 : 0;
    const IntKey intKeys[] = {
        { u"Threshold", &threshold, false },
        { u"TrainSaveMode", &trainSaveMode, false },
        { u"PreTestSaveMode", &preTestSaveMode, false },
        { u"MainTestSaveMode", &mainTestSaveMode, false },
        { u"TrainPrintMode", &trainPrintMode, false },
        { u"PreTestPrintMode", &preTestPrintMode, false },
        { u"MainTestPrintMode", &mainTestPrintMode, false },
        { u"DoIntro", &doIntroValue, true },
        { u"DoAudioIntro", &doAudioIntroValue, true },
    };
    QString line;
    while (source.readLine(line, kMaxLineChars)) {
        const QStringView view(line);
        bool matched = false;
        for (const IntKey &key : intKeys) {
            const QStringView name(key.key);
            if (!view.startsWith(name))
                continue;
            matched = true;
            if (view.size() > name.size()) {
                const int value = leadingInt(view.mid(name.size() + 1));
                *key.value = key.flag ? (value != 0 ? 1 : 0) : value;
            }
            break;
        }
        if (matched)
            continue;
        if (view.startsWith(u"DataDirectory")) {
            constexpr qsizetype keyLength = 13;
            if (view.size() > keyLength) {
                const QStringView folder = view.mid(keyLength + 1);
                if (folder.size() <= kMaxDataDirectoryChars)
                    dataDirectory = folder.toString();
                else
                    logMessage(1, "   read: DataDirectory longer than %d characters ignored\n",
                               kMaxDataDirectoryChars);
            }
        } else if (view.startsWith(u"ExpLanguage")) {
            if (view.size() >= 12) {
                const int language = leadingInt(view.mid(12));
                // Only 0..5 name a material language; anything else counts as not chosen.
                expLanguage = language >= 0 && language <= kNoLanguage ? language : kNoLanguage;
            }
        } else if (view.startsWith(u"Liste der Probanden")) {
            (void)client.read(source);
        }
    }
    doIntro = doIntroValue != 0;
    doAudioIntro = doAudioIntroValue != 0;
    // The level meter and the voice-onset detection work on -90..0 dB.
    threshold = qBound(kMinThreshold, threshold, kMaxThreshold);
}

QString Settings::toText() const
{
    QString text;
    QTextStream out(&text);
    out << QString::asprintf("ORVA Version %d.%d.%02d\n", ProgramVersion::kMajor,
                             ProgramVersion::kMinor, ProgramVersion::kBuild);
    out << "DataDirectory " << dataDirectory << "\n";
    out << QString::asprintf("ExpLanguage %d\n", expLanguage);
    out << QString::asprintf("Threshold %d\n", threshold);
    out << QString::asprintf("WaitForDelay %d\n", waitForDelay);
    out << QString::asprintf("TrainSaveMode %d\n", trainSaveMode);
    out << QString::asprintf("PreTestSaveMode %d\n", preTestSaveMode);
    out << QString::asprintf("MainTestSaveMode %d\n", mainTestSaveMode);
    out << QString::asprintf("TrainPrintMode %d\n", trainPrintMode);
    out << QString::asprintf("PreTestPrintMode %d\n", preTestPrintMode);
    out << QString::asprintf("MainTestPrintMode %d\n", mainTestPrintMode);
    out << QString::asprintf("DoIntro %d\n", doIntro ? 1 : 0);
    out << QString::asprintf("DoAudioIntro %d\n", doAudioIntro ? 1 : 0);
    out << "\nListe der Probanden\n";
    out << "\n";
    client.write(out);
    out.flush();
    return text;
}

Status Settings::write(const QString &path) const
{
    logMessage(1, "BEGIN: write\n");
    const Status written = TextFile::saveProgramText(path, toText());
    logMessage(1, written.ok() ? "END 10: write\n" : "END 5: write\n");
    return written;
}

int Settings::materialLanguage(int userInterfaceLanguage) const
{
    return expLanguage == kNoLanguage ? userInterfaceLanguage : expLanguage;
}

bool Settings::hasDataDirectory() const
{
    return !dataDirectory.isEmpty() && QFileInfo(dataDirectory).isDir();
}

} // namespace orva
