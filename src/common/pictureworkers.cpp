#include "common/pictureworkers.h"

#include <QThread>
#include <QThreadPool>

namespace {

class PictureWorkers : public QThreadPool
{
public:
    PictureWorkers()
    {
        setObjectName(QStringLiteral("pictureWorkers"));
        setMaxThreadCount(QThread::idealThreadCount());
    }
};

Q_GLOBAL_STATIC(PictureWorkers, workers)

} // namespace

QThreadPool *pictureWorkers()
{
    return workers();
}

void waitForPictureWork()
{
    pictureWorkers()->waitForDone();
}
