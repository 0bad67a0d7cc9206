// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/Registry.h"

#include "records/InstallationValues.h"
#include "records/LatencyCalibration.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class RegistryTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readsValuesOfTheNamedHive_data();
    void readsValuesOfTheNamedHive();
    void fileBesideTheProgramReplacesTheMachineFile();
    void missingFileGivesNotFound();
    void installationValuesNeedAllThree_data();
    void installationValuesNeedAllThree();
    void latencyCalibrationIsWrittenIntoTheUsersHiveKeepingTheRest();
    void latencyCalibrationNeedsAPairAndSaneNumbers_data();
    void latencyCalibrationNeedsAPairAndSaneNumbers();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    Registry::Locations m_locations;
};

void RegistryTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_locations.localMachine = m_dir->filePath(QStringLiteral("etc-registry.ini"));
    m_locations.localMachineOverride = m_dir->filePath(QStringLiteral("bin-registry.ini"));
    m_locations.currentUser = m_dir->filePath(QStringLiteral("user-registry.ini"));
    writeFile(m_locations.localMachine,
              "\xEF\xBB\xBF; written by the installation\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norquell\\ORVA\\3.1]\r\n"
              "root=/opt/orva\r\n"
              "  TrueUpdateDir = \"/opt/orva/update dir\"  \r\n"
              "language=de_de\r\n"
              "AudioOutput=pulse\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
              "language=fr_fr\r\n");
    writeFile(m_locations.currentUser,
              "[HKEY_CURRENT_USER\\Software\\Norquell\\ORVA\\3.1]\n"
              "language=en_uk\n");
}

void RegistryTest::readsValuesOfTheNamedHive_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("value");
    QTest::newRow("no hive name: local machine") << "SOFTWARE\\Norquell\\ORVA\\3.1"
                                                 << "root" << 0 << "/opt/orva";
    QTest::newRow("local machine named") << "HKEY_LOCAL_MACHINE\\SOFTWARE\\Norquell\\ORVA\\3.1"
                                         << "language" << 0 << "de_de";
    QTest::newRow("current user") << "HKEY_CURRENT_USER\\Software\\Norquell\\ORVA\\3.1"
                                  << "language" << 0 << "en_uk";
    QTest::newRow("case and separators ignored") << "software/norquell/orva/3.1/"
                                                 << "TRUEUPDATEDIR" << 0 << "/opt/orva/update dir";
    QTest::newRow("audio backend value") << "SOFTWARE\\Norquell\\ORVA\\3.1"
                                         << "AudioOutput" << 0 << "pulse";
    QTest::newRow("value of another key not taken") << "SOFTWARE\\Norquell\\ORVA\\3.1"
                                                    << "AudioInput" << Registry::kNotFound << "";
    QTest::newRow("missing key") << "SOFTWARE\\Norquell\\ORVA\\9.9"
                                 << "root" << Registry::kNotFound << "";
    QTest::newRow("hive without a file") << "HKEY_USERS\\x"
                                         << "root" << Registry::kNotFound << "";
}

void RegistryTest::readsValuesOfTheNamedHive()
{
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(int, code);
    QFETCH(QString, value);
    const Registry registry(m_locations);
    QString result = QStringLiteral("from an earlier call");
    QCOMPARE(registry.readStringValue(key, name, result), code);
    QCOMPARE(result, value);
}

void RegistryTest::fileBesideTheProgramReplacesTheMachineFile()
{
    writeFile(m_locations.localMachineOverride,
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norquell\\ORVA\\3.1]\nroot=/home/demo/orva\n");
    const Registry registry(m_locations);
    QString value;
    QCOMPARE(registry.readStringValue(InstallationValues::keyPath(), "root", value), 0);
    QCOMPARE(value, QStringLiteral("/home/demo/orva"));
    // The whole file is replaced: a portable installation does not take values of another one.
    QCOMPARE(registry.readStringValue(InstallationValues::keyPath(), "language", value),
             Registry::kNotFound);
}

void RegistryTest::missingFileGivesNotFound()
{
    QVERIFY(QFile::remove(m_locations.localMachine));
    QString value;
    QCOMPARE(Registry(m_locations).readStringValue(InstallationValues::keyPath(), "root", value),
             Registry::kNotFound);
}

void RegistryTest::installationValuesNeedAllThree_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("missing");
    QTest::newRow("complete") << QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norquell\\ORVA\\3.1]\n"
                                            "root=/r\nTrueUpdateDir=/u\nlanguage=pl_pl\n")
                              << QString();
    QTest::newRow("no update folder") << QByteArray(
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norquell\\ORVA\\3.1]\nroot=/r\nlanguage=pl_pl\n")
                                      << "TrueUpdateDir";
    QTest::newRow("empty file") << QByteArray() << "root";
}

void RegistryTest::installationValuesNeedAllThree()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, missing);
    writeFile(m_locations.localMachine, file);
    const Result<InstallationValues> values = InstallationValues::read(Registry(m_locations));
    QCOMPARE(values.ok(), missing.isEmpty());
    if (values.ok()) {
        QCOMPARE(values.value().root, QStringLiteral("/r"));
        QCOMPARE(values.value().trueUpdateDir, QStringLiteral("/u"));
        QCOMPARE(values.value().language, QStringLiteral("pl_pl"));
    } else {
        QVERIFY(values.error().contains(QLatin1Char('"') + missing + QLatin1Char('"')));
        QVERIFY(values.error().contains(m_locations.localMachine));
    }
}

void RegistryTest::latencyCalibrationIsWrittenIntoTheUsersHiveKeepingTheRest()
{
    // The user's file has another key, a comment and a value in another case before.
    writeFile(m_locations.currentUser,
              "; my headset\n"
              "[HKEY_CURRENT_USER\\Software\\Norquell\\ORVA\\3.1]\n"
              "language=en_uk\n"
              "latencyoffsetms=99\n"
              "AudioInput=system:usb-mic\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Other]\n"
              "LatencyOffsetMs=1\n");
    const Registry registry(m_locations);
    QVERIFY(!LatencyCalibration::read(registry).isSet());
    LatencyCalibration calibration;
    calibration.output = QStringLiteral("PulseAudio sink headphones");
    calibration.input = QStringLiteral("PulseAudio source usb-mic=1 ü");
    calibration.offsetMs = 12.3456;
    calibration.spreadMs = 0.2;
    QVERIFY(calibration.write(registry).ok());

    const LatencyCalibration read = LatencyCalibration::read(registry);
    QVERIFY(read.isFor(calibration.output, calibration.input));
    QCOMPARE(read.offsetMs, 12.346);
    QCOMPARE(read.offsetUs(), 12346);
    QCOMPARE(read.spreadMs, 0.2);
    QString value;
    QCOMPARE(
        registry.readStringValue(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Norquell\\ORVA\\3.1"),
                                 QStringLiteral("AudioInput"), value),
        0);
    QCOMPARE(value, QStringLiteral("system:usb-mic"));
    QCOMPARE(registry.readStringValue(QStringLiteral("HKEY_CURRENT_USER\\Software\\Other"),
                                      QStringLiteral("LatencyOffsetMs"), value),
             0);
    QCOMPARE(value, QStringLiteral("1"));
    QFile file(m_locations.currentUser);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.contains(QStringLiteral("; my headset")));
    QCOMPARE(text.count(QStringLiteral("LatencyOffsetMs"), Qt::CaseInsensitive), 2);

    // Written again, the values are replaced, not added; a missing file is made with its folder.
    calibration.offsetMs = 0.5;
    QVERIFY(calibration.write(registry).ok());
    QCOMPARE(LatencyCalibration::read(registry).offsetMs, 0.5);
    Registry::Locations fresh = m_locations;
    fresh.currentUser = m_dir->filePath(QStringLiteral("new/orva/registry.ini"));
    QVERIFY(calibration.write(Registry(fresh)).ok());
    QVERIFY(LatencyCalibration::read(Registry(fresh)).isFor(calibration.output, calibration.input));
}

void RegistryTest::latencyCalibrationNeedsAPairAndSaneNumbers_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<bool>("set");
    QTest::newRow("whole") << QByteArray("LatencyOutput=a\nLatencyInput=b\nLatencyOffsetMs=1.5\n"
                                         "LatencySpreadMs=0.1\n")
                           << true;
    QTest::newRow("no input") << QByteArray("LatencyOutput=a\nLatencyOffsetMs=1.5\n"
                                            "LatencySpreadMs=0.1\n")
                              << false;
    QTest::newRow("offset not a number")
        << QByteArray("LatencyOutput=a\nLatencyInput=b\nLatencyOffsetMs=1,5\nLatencySpreadMs=0\n")
        << false;
    QTest::newRow("offset of an hour")
        << QByteArray("LatencyOutput=a\nLatencyInput=b\nLatencyOffsetMs=3600000\n"
                      "LatencySpreadMs=0\n")
        << false;
    QTest::newRow("not a finite number")
        << QByteArray("LatencyOutput=a\nLatencyInput=b\nLatencyOffsetMs=nan\nLatencySpreadMs=0\n")
        << false;
    QTest::newRow("negative spread")
        << QByteArray("LatencyOutput=a\nLatencyInput=b\nLatencyOffsetMs=1\nLatencySpreadMs=-1\n")
        << false;
}

void RegistryTest::latencyCalibrationNeedsAPairAndSaneNumbers()
{
    QFETCH(QByteArray, lines);
    QFETCH(bool, set);
    writeFile(m_locations.currentUser,
              "[HKEY_CURRENT_USER\\Software\\Norquell\\ORVA\\3.1]\n" + lines);
    QCOMPARE(LatencyCalibration::read(Registry(m_locations)).isSet(), set);
}

QTEST_GUILESS_MAIN(RegistryTest)
#include "RegistryTest.moc"
