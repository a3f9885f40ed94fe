#include "common/pictureworkers.h"
#include "views/picturejobqueue.h"

#include <QSemaphore>
#include <QThreadPool>
#include <QtTest>

#include <algorithm>

// Picture work applied on the window thread in each slot's order; a newer picture drops pending ones.
class TestPictureJobQueue : public QObject
{
    Q_OBJECT

    QStringList m_applied;

    PictureJobQueue::Work job(const QString &name, QSemaphore *gate = nullptr)
    {
        return [this, name, gate] {
            if (gate != nullptr)
                gate->acquire();
            return PictureJobQueue::Apply([this, name] { m_applied << name; });
        };
    }

private slots:
    void initTestCase()
    {
        pictureWorkers()->setMaxThreadCount(std::max(2, pictureWorkers()->maxThreadCount()));
    }
    void init() { m_applied.clear(); }

    void eachSlotInItsOrder()
    {
        PictureJobQueue queue;
        QSemaphore gate;
        queue.submit(1, PictureJobQueue::Kind::Save, job("slow 1", &gate));
        queue.submit(1, PictureJobQueue::Kind::View, job("fast 1"));
        queue.submitStep(1, [this] { m_applied << "step 1"; });
        queue.submit(2, PictureJobQueue::Kind::Save, job("fast 2"));
        QTRY_COMPARE(m_applied, QStringList({"fast 2"}));
        gate.release();
        QTRY_COMPARE(m_applied, QStringList({"fast 2", "slow 1", "fast 1", "step 1"}));
        QVERIFY(queue.isIdle());
    }

    void newerPictureDropsPendingOnes()
    {
        PictureJobQueue queue;
        QSemaphore gate;
        queue.submit(4, PictureJobQueue::Kind::View, job("old picture", &gate));
        queue.submit(4, PictureJobQueue::Kind::Save, job("save"));
        queue.dropPending(PictureJobQueue::Kind::View);
        queue.submit(4, PictureJobQueue::Kind::View, job("new picture"));
        // The save no longer waits for the dropped picture.
        QTRY_COMPARE(m_applied, QStringList({"save", "new picture"}));
        gate.release();
        queue.waitForWork();
        QTRY_VERIFY(queue.isIdle());
        QCOMPARE(m_applied, QStringList({"save", "new picture"}));
    }
};

QTEST_GUILESS_MAIN(TestPictureJobQueue)
#include "tst_picturejobqueue.moc"
