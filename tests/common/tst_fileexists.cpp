#include "common/fileexists.h"

#include <QtTest>

class TestFileExists : public QObject
{
    Q_OBJECT

private slots:
    void paths();
};

void TestFileExists::paths()
{
    const QTemporaryDir dir;
    const QDir root(dir.path());
    QVERIFY(root.mkdir("folder") && QFile(root.filePath("00camlist.txt")).open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(root.filePath("00camlist.txt"), root.filePath("link.txt")));
    QVERIFY(QFile::link(root.filePath("gone.txt"), root.filePath("dangling.txt")));
    // relative path, file name part, a file, a folder
    for (const auto &[relative, name, file, folder] :
         {std::tuple{"link.txt", "link.txt", true, false},
          std::tuple{"00CAMLIST.TXT", "00CAMLIST.TXT", false, false}, std::tuple{"folder/", "", false, true},
          std::tuple{"x/y\\00camlist.txt", "00camlist.txt", false, false}, // backslash is a separator
          std::tuple{"dangling.txt", "dangling.txt", false, false}}) {
        const QString path = root.filePath(QLatin1String(relative));
        QCOMPARE(FileNamePart(path), QLatin1String(name));
        QVERIFY2(FileExists(path) == file, relative);
        QVERIFY2(FolderExists(path) == folder, relative);
    }
}

QTEST_GUILESS_MAIN(TestFileExists)
#include "tst_fileexists.moc"
