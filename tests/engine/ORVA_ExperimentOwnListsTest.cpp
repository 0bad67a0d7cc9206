// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ORVA_Experiment.h"
#include "records/SyllableListFile.h"

#include <QDir>
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

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const SyllableList *ownList(const ORVA_Experiment &experiment, int id)
{
    const SyllableList *list = experiment.trainSyllableList().byId(id);
    return list && list->own ? list : nullptr;
}

} // namespace

class ORVA_ExperimentOwnListsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void takesTheListsOfTheMaterialLanguageOnly();
    void listWithASyllableOutsideTheStockIsLeftOut();
    void writingKeepsTheListsOfOtherLanguages();
    void withoutAnInstallationFolderNothingIsTouched();

private:
    std::unique_ptr<QTemporaryDir> m_base;
    QString m_path;
};

void ORVA_ExperimentOwnListsTest::init()
{
    m_base = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_base->path()).mkdir(QStringLiteral("bin")));
    m_path = SyllableListFile::filePath(m_base->path());
    writeFile(m_path,
              "\xEF\xBB\xBFORVA SyllableList 3.0\r\n[Syllablelist]\r\n"
              "Mein1 DE_DE ba pa ga 100 1 \r\n"
              "Alt de_de be bi 104 0 \r\n"
              "Polnisch PL_PL b\xC4\x85 sza 101 1 \r\n"
              "Fremd DE_DE ba qq 102 1 \r\n");
}

void ORVA_ExperimentOwnListsTest::takesTheListsOfTheMaterialLanguageOnly()
{
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(m_base->path());
    experiment.setLanguage(DE_DE, false, false);
    experiment.createSyllableLists();
    QVERIFY(ownList(experiment, 100));
    QCOMPARE(ownList(experiment, 100)->entries.size(), 3);
    QVERIFY(ownList(experiment, 104));
    QVERIFY(!ownList(experiment, 104)->active);
    QVERIFY(!ownList(experiment, 101));

    experiment.setLanguage(PL_PL, false, false);
    experiment.createSyllableLists();
    QVERIFY(!ownList(experiment, 100));
    QVERIFY(ownList(experiment, 101));
    QCOMPARE(ownList(experiment, 101)->entries[0].name, QString::fromUtf8("bą"));
}

void ORVA_ExperimentOwnListsTest::listWithASyllableOutsideTheStockIsLeftOut()
{
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(m_base->path());
    experiment.setLanguage(DE_DE, false, false);
    experiment.createSyllableLists();
    QVERIFY(!experiment.trainSyllableList().byId(102));

    // It is not offered, but it stays in the file, and its id stays its own.
    SyllableList made;
    made.label = QStringLiteral("Neu");
    made.language = DE_DE;
    made.entries = { { QStringLiteral("ka"), -1 } };
    QVERIFY(experiment.addOwnTrainList(made));
    QVERIFY(experiment.writeUserDefinedTrainSyllableTrain().ok());
    const QString text = QString::fromUtf8(readFile(m_path));
    QVERIFY2(text.contains(QStringLiteral("Fremd DE_DE ba qq 102 1 \r\n")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Neu DE_DE ka 105 1 \r\n")));
    experiment.createSyllableLists(); // read again, as at the next start
    QVERIFY(!experiment.trainSyllableList().byId(102));
    QVERIFY(experiment.writeUserDefinedTrainSyllableTrain().ok());
    QVERIFY(QString::fromUtf8(readFile(m_path)).contains(QStringLiteral("Fremd DE_DE ba qq 102")));
}

void ORVA_ExperimentOwnListsTest::writingKeepsTheListsOfOtherLanguages()
{
    ORVA_Experiment experiment;
    experiment.setBaseDirectory(m_base->path());
    experiment.setLanguage(DE_DE, false, false);
    experiment.createSyllableLists();
    SyllableList made;
    made.label = QStringLiteral("Neu");
    made.language = DE_DE;
    made.entries = { { QStringLiteral("ka"), -1 }, { QStringLiteral("ta"), -1 } };
    QVERIFY(experiment.addOwnTrainList(made));
    QVERIFY(experiment.deactivateOwnList(100));
    QVERIFY(experiment.writeUserDefinedTrainSyllableTrain().ok());

    const QString text = QString::fromUtf8(readFile(m_path));
    QVERIFY(text.startsWith(QString::fromUtf8("\uFEFFORVA SyllableList 3.0\r\n[Syllablelist]\r\n"
                                              "Mein1 DE_DE ba pa ga 100 0 \r\n"
                                              "Alt DE_DE be bi 104 0 \r\n"
                                              "Neu DE_DE ka ta 105 1 \r\n")));
    QVERIFY(text.contains(QString::fromUtf8("Polnisch PL_PL bą sza 101 1 \r\n")));

    // The Polish list is still found after the change of language.
    experiment.setLanguage(PL_PL, false, false);
    experiment.createSyllableLists();
    QVERIFY(ownList(experiment, 101));
    experiment.setLanguage(DE_DE, false, false);
    experiment.createSyllableLists();
    QVERIFY(ownList(experiment, 105));
    QVERIFY(!ownList(experiment, 100)->active);
}

void ORVA_ExperimentOwnListsTest::withoutAnInstallationFolderNothingIsTouched()
{
    ORVA_Experiment experiment;
    experiment.setLanguage(DE_DE, false, false);
    QVERIFY(!experiment.readUserDefinedTrainSyllableLists());
    QVERIFY(!experiment.writeUserDefinedTrainSyllableTrain().ok());
}

QTEST_GUILESS_MAIN(ORVA_ExperimentOwnListsTest)
#include "ORVA_ExperimentOwnListsTest.moc"
