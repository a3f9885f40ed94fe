#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void writableExecutableFolderIsUsed();
    void unusableExecutableFolderFallsBackToDataFolder_data();
    void unusableExecutableFolderFallsBackToDataFolder();
    void readOnlyExecutableFolderFallsBack();
    void nothingUsableKeepsExecutableFolder();
    void overrideWinsAndCanBeUndone();

private:
    QTemporaryDir m_dir;
};

void TestProgramFolder::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    QFile file(m_dir.filePath(QStringLiteral("plainfile")));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestProgramFolder::writableExecutableFolderIsUsed()
{
    const QString data = m_dir.filePath(QStringLiteral("data-unused"));
    QCOMPARE(ChooseProgramFolder(m_dir.path(), data), m_dir.path());
    QVERIFY2(!QFileInfo::exists(data), "the data folder is only made when it is needed");
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("plainfile")});
}

void TestProgramFolder::unusableExecutableFolderFallsBackToDataFolder_data()
{
    QTest::addColumn<QString>("executableFolder");
    // Neither can be written to, also not by root.
    QTest::newRow("missing folder") << m_dir.filePath(QStringLiteral("nowhere"));
    QTest::newRow("folder below a regular file") << m_dir.filePath(QStringLiteral("plainfile/bin"));
    QTest::newRow("empty path") << QString();
}

void TestProgramFolder::unusableExecutableFolderFallsBackToDataFolder()
{
    QFETCH(QString, executableFolder);
    const QString data = m_dir.filePath(QStringLiteral("user/share/Vantora ") + QTest::currentDataTag());
    QCOMPARE(ChooseProgramFolder(executableFolder, data), data);
    QVERIFY(QFileInfo(data).isDir());
}

void TestProgramFolder::readOnlyExecutableFolderFallsBack()
{
    if (::geteuid() == 0)
        QSKIP("permission bits do not stop root");
    const QString bin = m_dir.filePath(QStringLiteral("readonly-bin"));
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner));
    const QString data = m_dir.filePath(QStringLiteral("readonly-data"));
    const QString chosen = ChooseProgramFolder(bin, data);
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(chosen, data);
}

void TestProgramFolder::nothingUsableKeepsExecutableFolder()
{
    const QString bin = m_dir.filePath(QStringLiteral("plainfile/bin"));
    QCOMPARE(ChooseProgramFolder(bin, m_dir.filePath(QStringLiteral("plainfile/data"))), bin);
}

void TestProgramFolder::overrideWinsAndCanBeUndone()
{
    const QString automatic = ProgramFolder();
    QVERIFY(!automatic.isEmpty());
    SetProgramFolder(m_dir.path());
    QCOMPARE(ProgramFolder(), m_dir.path());
    SetProgramFolder(QString());
    QCOMPARE(ProgramFolder(), automatic);
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
