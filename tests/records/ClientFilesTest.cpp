// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/ClientFiles.h"

#include "fakes/RecordingMessageBoxes.h"
#include "records/ORVA_Proband.h"
#include "support/StringTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

namespace {

ORVA_Proband client(const QString &last, const QString &first, ORVA_Date runDate)
{
    ORVA_Proband record;
    record.setLastName(last);
    record.setFirstName(first);
    record.birthday() = ORVA_Date(5, 3, 2011);
    record.runDate() = runDate;
    return record;
}

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class ClientFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void buildsRunFileNames_data();
    void buildsRunFileNames();
    void refusesClientsWithoutNameOrBirthday_data();
    void refusesClientsWithoutNameOrBirthday();
    void pastedNamesStayInTheirFolder_data();
    void pastedNamesStayInTheirFolder();
    void findsARunByClientAndStartMinute();
};

void ClientFilesTest::buildsRunFileNames_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("first");
    QTest::addColumn<ORVA_Date>("runDate");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("currentIndex");
    QTest::addColumn<QString>("expected");
    QTest::newRow("main test") << "Meier"
                               << "Anna" << ORVA_Date(17, 5, 2024, 14, 30) << 2 << 59
                               << "Meier-Anna_24-05-17_14-30-HT60.orv";
    QTest::newRow("no first name")
        << "Meier"
        << "" << ORVA_Date(1, 2, 2019, 9, 5) << 1 << 4 << "Meier_19-02-01_09-05-VT05.orv";
    QTest::newRow("training") << "Ośka"
                              << "Zoë" << ORVA_Date(1, 2, 2019, 9, 5) << 3 << 29
                              << QString::fromUtf8("Ośka-Zoë_19-02-01_09-05-TR30.orv");
    QTest::newRow("2099 gives 00")
        << "M"
        << "" << ORVA_Date(1, 1, 2099, 0, 0) << 2 << 0 << "M_99-01-01_00-00-HT01.orv";
    QTest::newRow("2000 gives 00")
        << "M"
        << "" << ORVA_Date(1, 1, 2000, 0, 0) << 2 << 0 << "M_00-01-01_00-00-HT01.orv";
}

void ClientFilesTest::buildsRunFileNames()
{
    QFETCH(QString, last);
    QFETCH(QString, first);
    QFETCH(ORVA_Date, runDate);
    QFETCH(int, mode);
    QFETCH(int, currentIndex);
    QFETCH(QString, expected);
    const ClientFiles::Run run { mode, currentIndex, QStringLiteral("/srv/data"),
                                 QStringLiteral("de_de") };
    const ClientFiles::FileName bare = ClientFiles::constructFileName(
        false, client(last, first, runDate), run, StringTable::german());
    QVERIFY(bare.ok());
    QCOMPARE(bare.path, expected);
    const ClientFiles::FileName full = ClientFiles::constructFileName(
        true, client(last, first, runDate), run, StringTable::german());
    QVERIFY(full.ok());
    QCOMPARE(full.path, "/srv/data/de_de/" + expected);
}

void ClientFilesTest::refusesClientsWithoutNameOrBirthday_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<ORVA_Date>("birthday");
    QTest::addColumn<QString>("message");
    QTest::newRow("no last name") << "" << ORVA_Date(5, 3, 2011)
                                  << QString::fromUtf8("Bitte geben Sie einen gültigen Namen ein.");
    QTest::newRow("birthday not valid")
        << "Meier" << ORVA_Date(0, 3, 2011)
        << QString::fromUtf8("Bitte geben Sie ein gültiges Geburtsdatum ein.");
    QTest::newRow("year 2100") << "Meier" << ORVA_Date(1, 3, 2100)
                               << QString::fromUtf8(
                                      "Bitte geben Sie ein gültiges Geburtsdatum ein.");
}

void ClientFilesTest::refusesClientsWithoutNameOrBirthday()
{
    QFETCH(QString, last);
    QFETCH(ORVA_Date, birthday);
    QFETCH(QString, message);
    ORVA_Proband record = client(last, QString(), ORVA_Date(1, 1, 2020));
    record.birthday() = birthday;
    const ClientFiles::FileName name =
        ClientFiles::constructFileName(true, record, ClientFiles::Run(), StringTable::german());
    QVERIFY(!name.ok());
    QVERIFY(name.path.isEmpty());
    QCOMPARE(StringTable::german().text(name.refusal), message);
}

void ClientFilesTest::pastedNamesStayInTheirFolder_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("expectedStart");
    QTest::newRow("climbing up") << "../../etc/passwd"
                                 << ""
                                 << "_._.._etc_passwd_";
    QTest::newRow("backslashes") << "..\\..\\x"
                                 << "a/b"
                                 << "_._.._x-a_b_";
    QTest::newRow("control characters") << "Mei\ner"
                                        << "\t"
                                        << "Mei_er-__";
    QTest::newRow("hidden file") << ".Meier"
                                 << ""
                                 << "_Meier_";
    QTest::newRow("names too long for a file name are cut")
        << QString(300, QChar(u'ü')) << QString(300, QLatin1Char('a'))
        << QString(50, QChar(u'ü')) + QLatin1Char('-') + QString(100, QLatin1Char('a'))
            + QStringLiteral("_20-01-01_");
    QTest::newRow("ordinary names unchanged") << "Müller-Lüdenscheidt"
                                              << "Anna Lena"
                                              << "Müller-Lüdenscheidt-Anna Lena_";
}

void ClientFilesTest::pastedNamesStayInTheirFolder()
{
    QFETCH(QString, last);
    QFETCH(QString, first);
    QFETCH(QString, expectedStart);
    const ClientFiles::Run run { 2, 59, QStringLiteral("/srv/data"), QStringLiteral("de_de") };
    const QString path =
        ClientFiles::constructFileName(true, client(last, first, ORVA_Date(1, 1, 2020)), run,
                                       StringTable::german())
            .path;
    QCOMPARE(QFileInfo(path).path(), QStringLiteral("/srv/data/de_de"));
    QVERIFY2(QFileInfo(path).fileName().startsWith(expectedStart), qPrintable(path));
}

void ClientFilesTest::findsARunByClientAndStartMinute()
{
    QTemporaryDir data;
    const QDir folder(data.path());
    for (const char *name :
         { "Meier-Anna_24-05-17_14-30-TR06.orv", "Meier-Anna_24-05-17_14-30-HT60.orv",
           "meier-anna_24-05-17_14-30-HT60.orv", "Meier-Anna_24-05-17_14-31-HT60.orv",
           "M[1]_24-05-17_14-30-HT60.ORV", "Meier_24-05-17_14-30-VT12.txt" })
        touch(folder.filePath(QString::fromLatin1(name)));
    const auto find = [&](const char *built) {
        return QFileInfo(ClientFiles::findRunFile(folder.filePath(QString::fromLatin1(built))))
            .fileName();
    };
    // Two runs of one minute: the first in name order is taken, whatever its kind.
    QCOMPARE(find("Meier-Anna_24-05-17_14-30-VT12.orv"),
             QStringLiteral("Meier-Anna_24-05-17_14-30-HT60.orv"));
    QCOMPARE(find("meier-anna_24-05-17_14-30-VT12.orv"),
             QStringLiteral("meier-anna_24-05-17_14-30-HT60.orv"));
    QCOMPARE(find("M[1]_24-05-17_14-30-HT01.orv"), QStringLiteral("M[1]_24-05-17_14-30-HT60.ORV"));
    QCOMPARE(find("M1_24-05-17_14-30-HT01.orv"), QString());
    QCOMPARE(find("Meier_24-05-17_14-30-VT12.orv"), QString());
    QCOMPARE(ClientFiles::findRunFile(QStringLiteral("/nonexistent/x_24-05-17_14-30-HT60.orv")),
             QString());
}

QTEST_GUILESS_MAIN(ClientFilesTest)
#include "ClientFilesTest.moc"
