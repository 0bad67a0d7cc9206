// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/RunFileRemoval.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace orva;

namespace {

bool writeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("ORVA Experiment 2.0\r\n") > 0;
}

} // namespace

class RunFileRemovalTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void deletesExactlyTheChosenRunOfTwoInOneMinute();
    void refusesPathsThatAreNoRunFileOfTheFolder_data();
    void refusesPathsThatAreNoRunFileOfTheFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
};

void RunFileRemovalTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_folder = m_dir->filePath(QStringLiteral("data/de_de"));
    QVERIFY(QDir().mkpath(m_folder));
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("data/en_us"))));
    for (const char *name :
         { "Ohm-Eva_24-05-17_14-30-VT12.orv", "Ohm-Eva_24-05-17_14-30-HT60.orv",
           "Ohm-Eva_24-05-17_14-30-TR30.txt", "Ohm-[E]va_24-05-17_14-30-HT60.orv" })
        QVERIFY(writeFile(m_folder + QLatin1Char('/') + QLatin1String(name)));
    QVERIFY(
        writeFile(m_dir->filePath(QStringLiteral("data/en_us/Ohm-Eva_24-05-17_14-30-HT60.orv"))));
    QVERIFY(writeFile(m_dir->filePath(QStringLiteral("data/outside.orv"))));
    QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("data/outside.orv")),
                        m_folder + QStringLiteral("/link.orv")));
}

void RunFileRemovalTest::deletesExactlyTheChosenRunOfTwoInOneMinute()
{
    // Both runs match the pattern "Ohm-Eva_24-05-17_14-30-*.orv"; the second one is meant.
    const QString meant = m_folder + QStringLiteral("/Ohm-Eva_24-05-17_14-30-HT60.orv");
    const QString other = m_folder + QStringLiteral("/Ohm-Eva_24-05-17_14-30-VT12.orv");
    QVERIFY(RunFileRemoval::remove(meant, m_folder).ok());
    QVERIFY(!QFile::exists(meant));
    QVERIFY(QFile::exists(other));
    QVERIFY(QFile::exists(m_folder + QStringLiteral("/Ohm-[E]va_24-05-17_14-30-HT60.orv")));
    // Once gone, a second delete says so instead of taking another file.
    const Status again = RunFileRemoval::remove(meant, m_folder);
    QVERIFY(!again.ok());
    QVERIFY(again.error().contains(meant));
    QVERIFY(QFile::exists(other));
}

void RunFileRemovalTest::refusesPathsThatAreNoRunFileOfTheFolder_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("another language's folder") << "data/en_us/Ohm-Eva_24-05-17_14-30-HT60.orv";
    QTest::newRow("out of the folder by ..") << "data/de_de/../outside.orv";
    QTest::newRow("a link leading out") << "data/de_de/link.orv";
    QTest::newRow("not a run file") << "data/de_de/Ohm-Eva_24-05-17_14-30-TR30.txt";
    QTest::newRow("a pattern") << "data/de_de/Ohm-*_24-05-17_14-30-*.orv";
    QTest::newRow("the folder itself") << "data/de_de";
    QTest::newRow("nothing") << "";
}

void RunFileRemovalTest::refusesPathsThatAreNoRunFileOfTheFolder()
{
    QFETCH(QString, relative);
    const QString path = relative.isEmpty() ? QString() : m_dir->filePath(relative);
    const QStringList before = QDir(m_folder).entryList(QDir::Files | QDir::System);
    QVERIFY(!RunFileRemoval::remove(path, m_folder).ok());
    QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::System), before);
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("data/outside.orv"))));
    QVERIFY(QFile::exists(m_dir->filePath("data/en_us/Ohm-Eva_24-05-17_14-30-HT60.orv")));
}

QTEST_GUILESS_MAIN(RunFileRemovalTest)
#include "RunFileRemovalTest.moc"
