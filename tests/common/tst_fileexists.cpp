#include "common/fileexists.h"

#include <QtTest>

class TestFileExists : public QObject
{
    Q_OBJECT

private slots:
    void paths_data();
    void paths();
};

// Expected: the name part, then what the path names ("file", "folder" or nothing).
void TestFileExists::paths_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected");
    QTest::newRow("regular file") << "00camlist.txt"
                                  << "00camlist.txt:file";
    QTest::newRow("link to a regular file") << "link.txt"
                                            << "link.txt:file";
    QTest::newRow("other letter case is another file here") << "00CAMLIST.TXT"
                                                            << "00CAMLIST.TXT:";
    QTest::newRow("hidden file") << ".hidden.txt"
                                 << ".hidden.txt:";
    QTest::newRow("folder, trailing separator") << "folder/"
                                                << ":folder";
    QTest::newRow("backslash is a separator") << "x/y\\00camlist.txt"
                                              << "00camlist.txt:";
    QTest::newRow("dangling link") << "dangling.txt"
                                   << "dangling.txt:";
}

void TestFileExists::paths()
{
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    const QTemporaryDir dir;
    const QDir root(dir.path());
    QVERIFY(root.mkdir("folder") && QFile(root.filePath("00camlist.txt")).open(QIODevice::WriteOnly));
    QVERIFY(QFile(root.filePath(".hidden.txt")).open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(root.filePath("00camlist.txt"), root.filePath("link.txt")));
    QVERIFY(QFile::link(root.filePath("gone.txt"), root.filePath("dangling.txt")));
    const QString path = root.filePath(relative);
    const QString what =
        QString(FileExists(path) ? "file" : "") + QString(FolderExists(path) ? "folder" : "");
    QCOMPARE(FileNamePart(path) + ':' + what, expected);
}

QTEST_GUILESS_MAIN(TestFileExists)
#include "tst_fileexists.moc"
