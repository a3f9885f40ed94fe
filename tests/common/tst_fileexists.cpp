#include "fileexists.h"

#include <QtTest>

class TestFileExists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void paths_data();
    void paths();

private:
    QTemporaryDir m_dir;
};

void TestFileExists::initTestCase()
{
    const QDir root(m_dir.path());
    QVERIFY(root.mkdir(QStringLiteral("folder")));
    QVERIFY(QFile(root.filePath(QStringLiteral("00camlist.txt"))).open(QIODevice::WriteOnly));
    QVERIFY(QFile(root.filePath(QStringLiteral(".hidden.txt"))).open(QIODevice::WriteOnly));
    QVERIFY(QFile::link(root.filePath(QStringLiteral("00camlist.txt")), root.filePath(QStringLiteral("link.txt"))));
    QVERIFY(QFile::link(root.filePath(QStringLiteral("gone.txt")), root.filePath(QStringLiteral("dangling.txt"))));
}

void TestFileExists::paths_data()
{
    QTest::addColumn<QString>("relative"); // null: the empty path
    QTest::addColumn<QString>("namePart");
    QTest::addColumn<bool>("file");
    QTest::addColumn<bool>("folder");
    QTest::newRow("regular file") << "00camlist.txt" << "00camlist.txt" << true << false;
    QTest::newRow("link to a regular file") << "link.txt" << "link.txt" << true << false;
    QTest::newRow("other letter case is another file here") << "00CAMLIST.TXT" << "00CAMLIST.TXT" << false << false;
    QTest::newRow("hidden file") << ".hidden.txt" << ".hidden.txt" << false << false;
    QTest::newRow("folder, trailing separator") << "folder/" << "" << false << true;
    QTest::newRow("backslash is a separator") << "x/y\\00camlist.txt" << "00camlist.txt" << false << false;
    QTest::newRow("slash after backslash") << "x\\y/00camlist.txt" << "00camlist.txt" << false << false;
    QTest::newRow("dangling link") << "dangling.txt" << "dangling.txt" << false << false;
    QTest::newRow("empty path") << QString() << "" << false << false;
}

void TestFileExists::paths()
{
    QFETCH(QString, relative);
    QFETCH(QString, namePart);
    QFETCH(bool, file);
    QFETCH(bool, folder);
    const QString path = relative.isNull() ? QString() : m_dir.filePath(relative);
    QCOMPARE(FileNamePart(path), namePart);
    QCOMPARE(FileExists(path), file);
    QCOMPARE(FolderExists(path), folder);
}

QTEST_GUILESS_MAIN(TestFileExists)
#include "tst_fileexists.moc"
