#include "common/pictureworkers.h"

#include <QThread>
#include <QThreadPool>

QThreadPool *pictureWorkers()
{
    static QThreadPool *const pool = [] {
        static QThreadPool instance;
        instance.setObjectName(QStringLiteral("pictureWorkers"));
        instance.setMaxThreadCount(QThread::idealThreadCount());
        return &instance;
    }();
    return pool;
}

void waitForPictureWork()
{
    pictureWorkers()->waitForDone();
}
