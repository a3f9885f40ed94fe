#pragma once

#include "common/pictureworkers.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThreadPool>

#include <memory>

// Keeps every picture worker busy while in scope; the tasks share the semaphore as some start late.
class HeldWorkers
{
public:
    HeldWorkers()
    {
        for (int n = 0; n < pictureWorkers()->maxThreadCount(); ++n)
            pictureWorkers()->start([release = m_release] { release->acquire(); });
    }
    ~HeldWorkers() { m_release->release(pictureWorkers()->maxThreadCount()); }
    HeldWorkers(const HeldWorkers &) = delete;
    HeldWorkers &operator=(const HeldWorkers &) = delete;

private:
    std::shared_ptr<QSemaphore> m_release = std::make_shared<QSemaphore>();
};

// Every decode done and its result delivered to the window thread.
inline void finishDecodes()
{
    waitForPictureWork();
    QCoreApplication::sendPostedEvents();
}
