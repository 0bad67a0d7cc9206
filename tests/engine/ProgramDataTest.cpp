// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ProgramData.h"

#include "fakes/RecordingMessageBoxes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace orva;

/// The program's data on an installation of the test's own, with the demo's recordings: what a
/// session writes the next one reads, and the material language follows the rules.
class ProgramDataTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstStartHasNoSettingsAndTheNextReadsWhatTheLastWrote();
    void materialLanguageFallsBackToTheInterfaceLanguage();

private:
    /// An installation in `dir` whose interface language is `language`.
    Registry::Locations install(const QTemporaryDir &dir, const QString &language) const;

    QString m_demo;
};

void ProgramDataTest::initTestCase()
{
    m_demo = QStringLiteral(ORVA_DEMO_DIR);
    if (!QFile::exists(m_demo + QStringLiteral("/media/de_de/Silben81/ba.wav")))
        QSKIP("the demo installation is made by the test demo.installation");
}

Registry::Locations ProgramDataTest::install(const QTemporaryDir &dir,
                                             const QString &language) const
{
    QDir root(dir.path());
    root.mkpath(QStringLiteral("bin"));
    for (const char *code : { "de_de", "en_uk" })
        root.mkpath(QStringLiteral("data/%1").arg(QLatin1String(code)));
    QFile::link(m_demo + QStringLiteral("/media"), dir.filePath(QStringLiteral("media")));
    QFile values(dir.filePath(QStringLiteral("bin/registry.ini")));
    if (values.open(QIODevice::WriteOnly))
        values.write(QStringLiteral("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norquell\\ORVA\\3.1]\n"
                                    "root=%1\nTrueUpdateDir=%1/update\nlanguage=%2\n")
                         .arg(dir.path(), language)
                         .toUtf8());
    return Registry::Locations { values.fileName(), QString(), QString(), QString(), QString() };
}

void ProgramDataTest::firstStartHasNoSettingsAndTheNextReadsWhatTheLastWrote()
{
    QTemporaryDir dir;
    const Registry::Locations registry = install(dir, QStringLiteral("de_de"));
    const QString bin = dir.filePath(QStringLiteral("bin"));
    test::RecordingMessageBoxes boxes;
    {
        ProgramData data(bin, registry, boxes);
        QVERIFY(data.settingsMissing());
        QCOMPARE(data.startup().baseDirectory, QDir::cleanPath(dir.path()));
        QVERIFY(!data.experiment().trainStock().empty());
        data.settings().threshold = -55;
        data.settings().preTestSaveMode = 0;
        data.experiment().client().setLastName(QStringLiteral("Muster"));
        QVERIFY(data.writeSettings().ok());
        // The unsaved run waits beside the settings, where each operator has his own.
        QCOMPARE(QFileInfo(data.unsavedRunPath()).dir(),
                 QFileInfo(data.startup().layout.settingsFile).dir());
    }
    ProgramData next(bin, registry, boxes);
    QVERIFY(!next.settingsMissing());
    QCOMPARE(next.settings().threshold, -55);
    QCOMPARE(next.fileRules().saveMode[0], 0);
    QCOMPARE(next.experiment().client().lastName().value_or(QString()), QStringLiteral("Muster"));
    QVERIFY(boxes.boxes.isEmpty());
}

void ProgramDataTest::materialLanguageFallsBackToTheInterfaceLanguage()
{
    QTemporaryDir dir;
    test::RecordingMessageBoxes boxes;
    ProgramData data(dir.filePath(QStringLiteral("bin")), install(dir, QStringLiteral("EN_UK")),
                     boxes);
    QCOMPARE(int(data.startup().uiLanguage), int(EN_UK));
    // Without a language of its own the material is that of the interface.
    QCOMPARE(data.experiment().expLanguage(), int(EN_UK));
    QVERIFY(data.setMaterialLanguage(DE_DE, false).ok());
    QCOMPARE(data.experiment().languageCode(), QStringLiteral("de_de"));
    QCOMPARE(data.settings().expLanguage, int(DE_DE));
    QVERIFY(data.setMaterialLanguage(17, false).ok());
    QCOMPARE(data.experiment().expLanguage(), int(EN_UK));
}

QTEST_GUILESS_MAIN(ProgramDataTest)
#include "ProgramDataTest.moc"
