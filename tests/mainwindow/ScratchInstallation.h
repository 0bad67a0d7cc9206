// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/RecordingDialogLauncher.h"
#include "fakes/RecordingPrograms.h"
#include "mainwindow/MainWindowContent.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace orva::test {

/// An installation of its own for one test: bin/ with the installation values, data/, and the
/// recordings of the demo installation linked in. What the program writes stays in it.
struct ScratchInstallation
{
    /// Made in a new folder below `parent` (default: the system's temporary folder).
    explicit ScratchInstallation(const QString &demo,
                                 const QString &language = QStringLiteral("de_de"),
                                 const QString &parent = QString())
        : dir(parent.isEmpty() ? QDir::tempPath() + QStringLiteral("/orva-XXXXXX")
                               : parent + QStringLiteral("/orva-XXXXXX"))
    {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("bin"));
        for (const char *code : { "de_de", "en_us", "en_uk", "es_es", "fr_fr", "pl_pl" }) {
            root.mkpath(QStringLiteral("data/%1").arg(QLatin1String(code)));
            const QString strings = QStringLiteral("%1/bin/%2").arg(demo, QLatin1String(code));
            if (QDir(strings).exists())
                QFile::link(strings,
                            dir.filePath(QStringLiteral("bin/%1").arg(QLatin1String(code))));
        }
        QFile::link(demo + QStringLiteral("/media"), dir.filePath(QStringLiteral("media")));
        setLanguage(language);
    }
    void setLanguage(const QString &language) const
    {
        QFile file(dir.filePath(QStringLiteral("bin/registry.ini")));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(
                QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norquell\\ORVA\\3.1]\nroot=%1\n"
                               "TrueUpdateDir=%1/update\nlanguage=%2\n")
                    .arg(dir.path(), language)
                    .toUtf8());
    }
    StartupOptions options() const
    {
        StartupOptions options;
        options.currentDirectory = dir.filePath(QStringLiteral("bin"));
        options.registry =
            Registry::Locations { dir.filePath(QStringLiteral("bin/registry.ini")), QString(),
                                  dir.filePath(QStringLiteral("config/registry.ini")), QString(),
                                  QString() };
        options.logFile = dir.filePath(QStringLiteral("bin/log.txt"));
        // No test opens a real dialog or starts a program: they answer from here.
        options.dialogs = &dialogs;
        options.programs = &programs;
        return options;
    }
    QString path(const QString &relative) const { return dir.filePath(relative); }

    QTemporaryDir dir;
    mutable RecordingDialogLauncher dialogs;
    mutable RecordingPrograms programs;
};

} // namespace orva::test
