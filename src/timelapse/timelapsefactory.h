#pragma once

#include "timelapse/timelapsejob.h"

#include <QtPlugin>

#include <atomic>
#include <functional>

// What the time-lapse module offers the history window. The module is loaded only when the first
// video is made, so the encoders' libraries cost nothing to a run that makes none.
class TimeLapseFactory
{
public:
    virtual ~TimeLapseFactory() = default;

    // Writes the job's video as writeTimeLapse() does (timelapse/timelapsewriter.h): blocks, calls
    // progress on the calling thread, stops soon after `cancel` is set. Callable from any thread.
    virtual TimeLapseResult writeTimeLapse(const TimeLapseJob &job, const std::atomic<bool> &cancel,
                                           const std::function<void(int done, int total)> &progress) = 0;
};

#define VANTORA_TIME_LAPSE_FACTORY_IID "org.vantora.Vantora.TimeLapseFactory/1"
Q_DECLARE_INTERFACE(TimeLapseFactory, VANTORA_TIME_LAPSE_FACTORY_IID)
