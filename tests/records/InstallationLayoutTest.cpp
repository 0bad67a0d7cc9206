// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/InstallationLayout.h"

#include "records/InstallationValues.h"
#include "records/Registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

/// Where a portable and a shared installation keep their files, from hand-written hive files.
class InstallationLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void portableInstallationKeepsEverythingInItsFolder();
    void sharedInstallationPutsTheDataWhereItCanBeWritten_data();
    void sharedInstallationPutsTheDataWhereItCanBeWritten();
    void userValuesComeBeforeTheMachinesValues();
    void relativeRootIsTakenFromTheHiveFilesFolder();
    void userConfigFolderFollowsXdgConfigHome_data();
    void userConfigFolderFollowsXdgConfigHome();

private:
    QString path(const QString &relative) const { return m_dir->filePath(relative); }
    void writeHive(const QString &file, const QString &hive, const QString &lines) const
    {
        QDir().mkpath(QFileInfo(path(file)).path());
        QFile out(path(file));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(
            QStringLiteral("[%1\\SOFTWARE\\Norquell\\ORVA\\3.1]\n%2").arg(hive, lines).toUtf8());
    }
    Registry registry() const
    {
        Registry::Locations locations;
        locations.localMachine = path("etc/registry.ini");
        locations.currentUser = path("home/config/orva/registry.ini");
        return Registry(locations);
    }
    InstallationLayout::UserFolders user() const
    {
        return { path("home/config/orva"), path("home/data/orva") };
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void InstallationLayoutTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkpath("tree/bin"));
}

void InstallationLayoutTest::portableInstallationKeepsEverythingInItsFolder()
{
    writeHive("etc/registry.ini", "HKEY_LOCAL_MACHINE", "root=" + path("tree") + "\n");
    const InstallationLayout layout = InstallationLayout::resolve(path("tree"), registry(), user());
    QVERIFY(layout.portable);
    QCOMPARE(layout.settingsFile, path("tree/bin/ORVA.ini"));
    QCOMPARE(layout.ownListsFile, path("tree/bin/ORVA.ors"));
    QCOMPARE(layout.dataFolder, path("tree/data"));
    QCOMPARE(layout.mediaFolder, path("tree/media"));
    QVERIFY(!QDir(path("home")).exists()); // nothing of the user's is made
}

void InstallationLayoutTest::sharedInstallationPutsTheDataWhereItCanBeWritten_data()
{
    QTest::addColumn<QString>("dataValue");
    QTest::addColumn<bool>("makeShared");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no data folder named") << QString() << false << "home/data/orva";
    QTest::newRow("shared folder there") << "/shared" << true << "shared";
    QTest::newRow("shared folder missing") << "/shared" << false << "home/data/orva";
}

void InstallationLayoutTest::sharedInstallationPutsTheDataWhereItCanBeWritten()
{
    QFETCH(QString, dataValue);
    QFETCH(bool, makeShared);
    QFETCH(QString, expected);
    if (makeShared)
        QVERIFY(QDir().mkpath(path("shared")));
    QString lines = "root=" + path("tree") + "\nlayout=shared\n";
    if (!dataValue.isEmpty())
        lines += "data=" + m_dir->path() + dataValue + "\n";
    writeHive("etc/registry.ini", "HKEY_LOCAL_MACHINE", lines);

    const InstallationLayout layout = InstallationLayout::resolve(path("tree"), registry(), user());
    QVERIFY(!layout.portable);
    QCOMPARE(layout.settingsFile, path("home/config/orva/ORVA.ini"));
    QCOMPARE(layout.ownListsFile, path("home/config/orva/ORVA.ors"));
    QVERIFY(QDir(path("home/config/orva")).exists()); // the settings can be written at the end
    QCOMPARE(layout.dataFolder, path(expected));
    if (expected.startsWith("home")) {
        for (const char *code : { "de_de", "en_us", "en_uk", "es_es", "fr_fr", "pl_pl" })
            QVERIFY(QDir(path(expected + "/" + code)).exists()); // run files can be saved
    }
}

void InstallationLayoutTest::userValuesComeBeforeTheMachinesValues()
{
    writeHive("etc/registry.ini", "HKEY_LOCAL_MACHINE",
              "root=" + path("tree") + "\nlayout=shared\nmedia=/usr/share/orva-material\n");
    writeHive("home/config/orva/registry.ini", "HKEY_CURRENT_USER",
              "media=" + path("mine/media") + "\n");
    const InstallationLayout layout = InstallationLayout::resolve(path("tree"), registry(), user());
    QCOMPARE(layout.mediaFolder, path("mine/media"));
    QCOMPARE(InstallationLayout::optionalValue(registry(), "layout"), QStringLiteral("shared"));
    QCOMPARE(InstallationLayout::optionalValue(registry(), "data"), QString());
}

void InstallationLayoutTest::relativeRootIsTakenFromTheHiveFilesFolder()
{
    // An installed tree's own values: share/orva/registry.ini with root=.
    writeHive("tree/share/orva/registry.ini", "HKEY_LOCAL_MACHINE",
              "root=.\nTrueUpdateDir=update\nlanguage=en_uk\n");
    Registry::Locations locations;
    locations.localMachine = path("etc/missing.ini");
    locations.localMachineFallback = path("tree/share/orva/registry.ini");
    const Result<InstallationValues> values = InstallationValues::read(Registry(locations));
    QVERIFY(values.ok());
    QCOMPARE(values.value().root, path("tree/share/orva"));
    QCOMPARE(values.value().trueUpdateDir, path("tree/share/orva/update"));

    // The machine's file, once there, comes before the tree's.
    writeHive("etc/missing.ini", "HKEY_LOCAL_MACHINE",
              "root=/usr/share/orva\nTrueUpdateDir=/u\nlanguage=de_de\n");
    QCOMPARE(InstallationValues::read(Registry(locations)).value().root,
             QStringLiteral("/usr/share/orva"));
}

void InstallationLayoutTest::userConfigFolderFollowsXdgConfigHome_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QString>("expected");
    QTest::newRow("set") << QByteArray("/srv/users/anna/cfg") << "/srv/users/anna/cfg";
    QTest::newRow("unset") << QByteArray() << QDir::homePath() + "/.config";
    QTest::newRow("relative, so ignored") << QByteArray("cfg") << QDir::homePath() + "/.config";
}

void InstallationLayoutTest::userConfigFolderFollowsXdgConfigHome()
{
    QFETCH(QByteArray, variable);
    QFETCH(QString, expected);
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    if (variable.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", variable);
    QCOMPARE(Registry::userConfigFolder(), expected);
    QCOMPARE(Registry::defaultLocations().currentUser, expected + "/orva/registry.ini");
    if (saved.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

QTEST_GUILESS_MAIN(InstallationLayoutTest)
#include "InstallationLayoutTest.moc"
