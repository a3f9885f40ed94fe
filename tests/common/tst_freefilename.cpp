#include "common/freefilename.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// Moving a finished file to the first free numbered name.
class TestFreeFileName : public QObject
{
    Q_OBJECT

    static QString nth(int n) { return n == 1 ? u"v.mp4"_s : u"v (%1).mp4"_s.arg(n); }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    // An existing file and a dangling link both hold their names and are left as they were.
    void takenNamesAreSkippedAndKept()
    {
        const QTemporaryDir dir;
        QFile first(dir.filePath(nth(1)));
        QVERIFY(first.open(QIODevice::WriteOnly) && first.write("old") == 3);
        first.close();
        QVERIFY(QFile::link(dir.filePath(u"gone"_s), dir.filePath(nth(2))));
        QTemporaryFile file(dir.filePath(u".tmp-XXXXXX"_s));
        QVERIFY(file.open() && file.write("new") == 3 && file.flush());

        const FreeFileName moved = moveToFreeFileName(file, dir.path(), nth);
        QCOMPARE(moved.path, dir.filePath(nth(3)));
        QCOMPARE(moved.error, QString());
        file.close();
        QCOMPARE(contents(moved.path), QByteArray("new"));
        QCOMPARE(contents(dir.filePath(nth(1))), QByteArray("old"));
        QCOMPARE(QFileInfo(dir.filePath(nth(2))).symLinkTarget(), dir.filePath(u"gone"_s));
        QVERIFY(!QFileInfo::exists(dir.filePath(u"gone"_s)));
    }

    // With every name taken nothing is moved and the temporary file still goes with its object.
    void noFreeName()
    {
        const QTemporaryDir dir;
        QString tempPath;
        {
            QTemporaryFile file(dir.filePath(u".tmp-XXXXXX"_s));
            QVERIFY(file.open());
            tempPath = file.fileName();
            const FreeFileName moved = moveToFreeFileName(file, dir.path(), [](int) { return u"."_s; });
            QCOMPARE(moved.path, QString());
            QCOMPARE(moved.error, QString());
        }
        QVERIFY(!QFileInfo::exists(tempPath));
    }

    // A rename that fails for another reason than a taken name says why.
    void missingFolder()
    {
        const QTemporaryDir dir;
        QTemporaryFile file(dir.filePath(u".tmp-XXXXXX"_s));
        QVERIFY(file.open());
        const FreeFileName moved = moveToFreeFileName(file, dir.filePath(u"gone"_s), nth);
        QCOMPARE(moved.path, QString());
        QVERIFY(!moved.error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFreeFileName)
#include "tst_freefilename.moc"
