#include "fileexists.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestFileExists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void fileNamePart_data();
    void fileNamePart();

    void fileExists_data();
    void fileExists();

    void folderExists_data();
    void folderExists();

private:
    QString path(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

    QTemporaryDir m_dir;
};

void TestFileExists::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDir root(m_dir.path());
    QVERIFY(root.mkpath(QStringLiteral("folder/inner")));
    QVERIFY(root.mkpath(QStringLiteral(".hiddenfolder")));
    for (const QString &name : {QStringLiteral("00camlist.txt"), QStringLiteral(".hidden.txt"),
                                QStringLiteral("folder/inner/deep.rtf"), QStringLiteral("empty")}) {
        QFile file(path(name));
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(name));
        if (name != QLatin1String("empty"))
            file.write("x\r\n");
    }
    QVERIFY(QFile::link(path(QStringLiteral("00camlist.txt")), path(QStringLiteral("link.txt"))));
    QVERIFY(QFile::link(path(QStringLiteral("gone.txt")), path(QStringLiteral("dangling.txt"))));
}

void TestFileExists::fileNamePart_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("bare name") << "00camlist.txt" << "00camlist.txt";
    QTest::newRow("slash path") << "/opt/vantora/00camlist.txt" << "00camlist.txt";
    QTest::newRow("backslash path") << "C:\\Program Files\\Vantora\\Help.rtf" << "Help.rtf";
    QTest::newRow("last of mixed separators") << "a\\b/c\\d.txt" << "d.txt";
    QTest::newRow("trailing separator") << "/opt/vantora/" << QString();
    QTest::newRow("spaces kept") << "/x/ name .txt " << " name .txt ";
}

void TestFileExists::fileNamePart()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(FileNamePart(input), expected);
}

void TestFileExists::fileExists_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("expected");

    QTest::newRow("regular file") << "00camlist.txt" << true;
    QTest::newRow("empty regular file") << "empty" << true;
    QTest::newRow("file in nested folder") << "folder/inner/deep.rtf" << true;
    QTest::newRow("link to a regular file") << "link.txt" << true;
    QTest::newRow("missing file") << "00camlist.bak" << false;
    QTest::newRow("other letter case is another file here") << "00CAMLIST.TXT" << false;
    QTest::newRow("hidden file") << ".hidden.txt" << false;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("folder with trailing separator") << "folder/" << false;
    QTest::newRow("file with trailing separator") << "00camlist.txt/" << false;
    QTest::newRow("path through a file") << "00camlist.txt/x" << false;
    QTest::newRow("dangling link") << "dangling.txt" << false;
    QTest::newRow("missing folder") << "nowhere/00camlist.txt" << false;
}

void TestFileExists::fileExists()
{
    QFETCH(QString, relative);
    QFETCH(bool, expected);
    QCOMPARE(FileExists(path(relative)), expected);
}

void TestFileExists::folderExists_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("expected");

    QTest::newRow("folder") << "folder" << true;
    QTest::newRow("trailing separator") << "folder/" << true;
    QTest::newRow("hidden folder") << ".hiddenfolder" << true;
    QTest::newRow("regular file") << "00camlist.txt" << false;
    QTest::newRow("missing") << "cam" << false;
    QTest::newRow("path through a file") << "00camlist.txt/cam" << false;
    QTest::newRow("dangling link") << "dangling.txt" << false;
}

void TestFileExists::folderExists()
{
    QFETCH(QString, relative);
    QFETCH(bool, expected);
    QCOMPARE(FolderExists(path(relative)), expected);
    QVERIFY(!FolderExists(QString()));
    QVERIFY(!FileExists(QString()));
}

QTEST_GUILESS_MAIN(TestFileExists)
#include "tst_fileexists.moc"
