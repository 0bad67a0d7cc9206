// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/DataPathGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace orva;

/// A data folder with links planted in it the way another user of a shared folder could.
class DataPathGuardTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void decidesByWhereThePathLeads_data();
    void decidesByWhereThePathLeads();
    void reportsARefusedPathOnce();
    void leavesPathsOutsideTheDataFoldersAlone();

private:
    QString data(const QString &relative) const { return m_dir->filePath("data/" + relative); }
    QString outside(const QString &relative) const
    {
        return m_dir->filePath("outside/" + relative);
    }
    /// A symbolic link whose text is `target` as given, relative or not.
    static bool plantLink(const QString &target, const QString &link)
    {
        return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData())
            == 0;
    }
    static void write(const QString &path)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("history of another client\n");
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    DataPathGuard m_guard;
};

void DataPathGuardTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir root(m_dir->path());
    QVERIFY(root.mkpath("data/de_de"));
    QVERIFY(root.mkpath("outside"));
    write(data("Meier-Anna.orl"));
    write(outside("victim.txt"));
    m_guard = DataPathGuard();
    m_guard.setFolders({ m_dir->filePath("data") });
}

void DataPathGuardTest::decidesByWhereThePathLeads_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("linkTarget"); // empty: no link is planted
    QTest::addColumn<bool>("allowed");
    QTest::newRow("own file") << "Meier-Anna.orl" << QString() << true;
    QTest::newRow("file not made yet") << "Neu-Kunde.orl" << QString() << true;
    QTest::newRow("link to a file outside") << "Opfer.orl"
                                            << "../outside/victim.txt" << false;
    QTest::newRow("absolute link outside") << "Opfer.orl"
                                           << "@outside/victim.txt" << false;
    QTest::newRow("link to a file outside not made yet") << "Opfer.orl"
                                                         << "../outside/new.txt" << false;
    QTest::newRow("dangling link") << "Opfer.orl"
                                   << "/nonexistent/folder/x" << false;
    QTest::newRow("link to the data folder itself") << "Opfer.orl"
                                                    << "." << false;
    QTest::newRow("link inside the data folder") << "Kopie.orl"
                                                 << "Meier-Anna.orl" << true;
    QTest::newRow("chain that ends outside") << "Kette.orl"
                                             << "de_de/../Opfer2.orl" << false;
    QTest::newRow("path through a linked folder") << "fremd/x.orv"
                                                  << "@outside" << false;
}

void DataPathGuardTest::decidesByWhereThePathLeads()
{
    QFETCH(QString, name);
    QFETCH(QString, linkTarget);
    QFETCH(bool, allowed);
    if (linkTarget.startsWith('@'))
        linkTarget = m_dir->filePath(linkTarget.mid(1));
    // The link is the path itself, or the folder it is in when the path has one.
    const QString linkPath = data(name.contains('/') ? name.section('/', 0, 0) : name);
    if (!linkTarget.isEmpty())
        QVERIFY(plantLink(linkTarget, linkPath));
    if (name == "Kette.orl")
        QVERIFY(plantLink("../outside/victim.txt", data("Opfer2.orl")));
    QCOMPARE(m_guard.allows(data(name)), allowed);
}

void DataPathGuardTest::reportsARefusedPathOnce()
{
    QVERIFY(plantLink(outside("victim.txt"), data("Opfer.orl")));
    QStringList reports;
    m_guard.setReporter(
        [&](const QString &path, const QString &target) { reports << path + " -> " + target; });
    QVERIFY(!m_guard.allows(data("Opfer.orl")));
    QVERIFY(!m_guard.allows(data("Opfer.orl"))); // the save after the load: no second box
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports[0],
             data("Opfer.orl") + " -> " + QFileInfo(outside("victim.txt")).canonicalFilePath());
}

void DataPathGuardTest::leavesPathsOutsideTheDataFoldersAlone()
{
    // A file the operator chose with "save under a name" may be anywhere, a link included.
    QVERIFY(plantLink(outside("victim.txt"), outside("chosen.orv")));
    QVERIFY(m_guard.allows(outside("chosen.orv")));
    QVERIFY(m_guard.allows(outside("victim.txt")));
}

QTEST_GUILESS_MAIN(DataPathGuardTest)
#include "DataPathGuardTest.moc"
