#pragma once

#include "cputime.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

// Times every event the window's thread delivers at the outermost level: the longest one (the
// longest freeze the user can see) and the time spent in all of them. With countThreadCpu set it
// also reads the thread's own CPU time around each event (two clock reads more per event).
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (m_depth > 0 || QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        ++m_depth;
        QElapsedTimer timer;
        timer.start();
        const qint64 cpu0 = countThreadCpu ? threadCpuNs() : 0;
        const bool result = QApplication::notify(receiver, event);
        const qint64 ns = timer.nsecsElapsed();
        const qint64 cpuNs = countThreadCpu ? threadCpuNs() - cpu0 : 0;
        --m_depth;
        if (ns > longestNs) {
            longestNs = ns;
            longestCpuNs = cpuNs;
        }
        busyNs += ns;
        return result;
    }

    void resetFigures()
    {
        longestNs = 0;
        longestCpuNs = 0;
        busyNs = 0;
    }

    bool countThreadCpu = false;
    qint64 longestNs = 0; // wall time
    qint64 longestCpuNs = 0; // the window thread's own CPU time in that event (the rest: waiting for a core)
    qint64 busyNs = 0;

private:
    int m_depth = 0;
};
