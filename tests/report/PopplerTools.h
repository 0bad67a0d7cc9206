// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What poppler-utils read from a PDF file: another program's view of what we printed.

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace orva::poppler {

inline bool available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

/// The value of `key` in pdfinfo's listing ("Pages", "Title", "Page size").
inline QString info(const QString &pdf, const QString &key)
{
    for (const QString &line : run(QStringLiteral("pdfinfo"), { pdf }).split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char(':')))
            return line.mid(key.size() + 1).trimmed();
    }
    return QString();
}

/// The text of page `page` (1-based), or of every page for 0, in its printed layout.
inline QString text(const QString &pdf, int page = 0)
{
    QStringList arguments { QStringLiteral("-layout") };
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    return run(QStringLiteral("pdftotext"), arguments << pdf << QStringLiteral("-"));
}

/// Page `page` as pixels at `dotsPerInch`, without smoothing, so a one-pixel line stays one
/// pixel of its own colour. With `keepAs` the picture is also written there as PNG.
inline QImage render(const QString &pdf, int page, int dotsPerInch, const QString &keepAs = {})
{
    const QString stem = pdf + QStringLiteral("-page");
    run(QStringLiteral("pdftoppm"),
        { QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dotsPerInch),
          QStringLiteral("-aa"), QStringLiteral("no"), QStringLiteral("-aaVector"),
          QStringLiteral("no"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
          QString::number(page), QStringLiteral("-singlefile"), pdf, stem });
    const QImage image(stem + QStringLiteral(".png"));
    if (!keepAs.isEmpty() && !image.isNull()) {
        QDir().mkpath(QFileInfo(keepAs).absolutePath());
        image.save(keepAs);
    }
    return image;
}

} // namespace orva::poppler
