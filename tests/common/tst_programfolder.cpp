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
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
