#include "programfolder.h"

#include <QtTest>

#include <unistd.h>

class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void choice();
    void overrideWinsAndCanBeUndone();

private:
    QTemporaryDir m_dir;
};

void TestProgramFolder::choice()
{
    const QString bin = m_dir.filePath(QStringLiteral("bin")), file = m_dir.filePath(QStringLiteral("plainfile"));
    const QString data = m_dir.filePath(QStringLiteral("user/share/Vantora"));
    QVERIFY(QDir().mkpath(bin) && QFile(file).open(QIODevice::WriteOnly));
    QCOMPARE(ChooseProgramFolder(bin, data), bin);
    QVERIFY2(!QFileInfo::exists(data), "the data folder is only made when it is needed");
    QVERIFY2(QDir(bin).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), "no probe file is left");

    // Unusable executable folders: below a regular file (not even root writes there), missing, none.
    for (const QString &unusable : {file + "/bin", m_dir.filePath(QStringLiteral("nowhere")), QString()})
        QCOMPARE(ChooseProgramFolder(unusable, data), data);
    QVERIFY(QFileInfo(data).isDir());
    if (::geteuid() != 0) { // permission bits do not stop root
        QVERIFY(QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(ChooseProgramFolder(bin, data), data);
    }
    // Nothing usable: the executable's folder still, where every write fails quietly.
    QCOMPARE(ChooseProgramFolder(file + "/bin", file + "/data"), file + "/bin");
}

void TestProgramFolder::overrideWinsAndCanBeUndone()
{
    QStandardPaths::setTestModeEnabled(true);
    const QString automatic = ProgramFolder();
    SetProgramFolder(m_dir.path());
    QCOMPARE(ProgramFolder(), m_dir.path());
    SetProgramFolder(QString());
    QCOMPARE(ProgramFolder(), automatic);
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
