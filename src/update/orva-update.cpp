// SPDX-License-Identifier: GPL-3.0-or-later
// orva-update: fetches a newer version for the update folder given and answers in its
// version.ini. Started by the program at each start; ends by itself.
#include "update/UpdateDownload.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Fetches a newer ORVA and answers the program in version.ini."));
    parser.addHelpOption();
    const QCommandLineOption server(QStringLiteral("server"),
                                    QStringLiteral("The update server's address."),
                                    QStringLiteral("url"));
    const QCommandLineOption patch(QStringLiteral("patch"),
                                   QStringLiteral("The patch's file name on the server."),
                                   QStringLiteral("name"));
    parser.addOption(server);
    parser.addOption(patch);
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The update folder."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    orva::UpdateDownload download(parser.positionalArguments().first(), QUrl(parser.value(server)),
                                  parser.value(patch));
    const QByteArray answer = download.run();
    std::fprintf(stderr, "orva-update: %s (%s)\n", answer.constData(),
                 qPrintable(download.reason()));
    return answer == "yes" || answer == "no" ? 0 : 1;
}
