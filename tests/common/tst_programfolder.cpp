#include "common/programfolder.h"

#include <QtTest>

class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void choice();
};

void TestProgramFolder::choice()
{
    const QTemporaryDir dir;
    const QString bin = dir.filePath("bin"), file = dir.filePath("plainfile"),
                  data = dir.filePath("user/data");
    QVERIFY(QDir().mkpath(bin) && QFile(file).open(QIODevice::WriteOnly));
    QCOMPARE(ChooseProgramFolder(bin, data), bin);
    QVERIFY2(!QFileInfo::exists(data), "the data folder is only made when it is needed");
    QVERIFY2(QDir(bin).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             "no probe file is left");

    // Unusable executable folders: below a regular file (not even root writes there), missing, none.
    for (const QString &unusable : {file + "/bin", dir.filePath("nowhere"), QString()})
        QCOMPARE(ChooseProgramFolder(unusable, data), data);
    QVERIFY(QFileInfo(data).isDir());
    // Nothing usable: the executable's folder still, where every write fails quietly.
    QCOMPARE(ChooseProgramFolder(file + "/bin", file + "/data"), file + "/bin");

    // An installed copy that may write beside itself (run by root) still keeps the user's files
    // in the per-user folder, not among the system's programs.
    const QString installedBin = dir.filePath("usr/bin");
    setInstalledFolder(installedBin);
    QVERIFY(QDir().mkpath(installedBin) && QDir().mkpath(installedDataFolder()));
    setInstalledFolder(QString());
    QCOMPARE(ChooseProgramFolder(installedBin, data), data);
    QVERIFY2(QDir(installedBin).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             "nothing is written beside an installed program");
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
