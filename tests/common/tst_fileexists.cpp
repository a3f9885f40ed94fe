#include "common/fileexists.h"

#include <QtTest>

class TestFileExists : public QObject
{
    Q_OBJECT

private slots:
    void paths_data();
    void paths();
};

void TestFileExists::paths_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("file");
    QTest::addColumn<bool>("folder");
    QTest::newRow("link to a regular file") << "link.txt"
                                            << "link.txt" << true << false;
    QTest::newRow("other letter case") << "00CAMLIST.TXT"
                                       << "00CAMLIST.TXT" << false << false;
    QTest::newRow("hidden file") << ".hidden.txt"
                                 << ".hidden.txt" << false << false;
    QTest::newRow("folder, trailing separator") << "folder/"
                                                << "" << false << true;
    QTest::newRow("backslash is a separator") << "x/y\\00camlist.txt"
                                              << "00camlist.txt" << false << false;
    QTest::newRow("dangling link") << "dangling.txt"
                                   << "dangling.txt" << false << false;
}

void TestFileExists::paths()
{
    QFETCH(QString, relative);
    const QTemporaryDir dir;
    const QDir root(dir.path());
    QVERIFY(root.mkdir("folder") && QFile(root.filePath("00camlist.txt")).open(QIODevice::WriteOnly));
    QVERIFY(QFile(root.filePath(".hidden.txt")).open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(root.filePath("00camlist.txt"), root.filePath("link.txt")));
    QVERIFY(QFile::link(root.filePath("gone.txt"), root.filePath("dangling.txt")));
    const QString path = root.filePath(relative);
    QTEST(FileNamePart(path), "name");
    QTEST(FileExists(path), "file");
    QTEST(FolderExists(path), "folder");
}

QTEST_GUILESS_MAIN(TestFileExists)
#include "tst_fileexists.moc"
