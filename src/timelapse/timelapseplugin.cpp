#include "timelapse/timelapseplugin.h"

#include "timelapse/timelapsewriter.h"

TimeLapseResult TimeLapsePlugin::writeTimeLapse(const TimeLapseJob &job, const std::atomic<bool> &cancel,
                                                const std::function<void(int done, int total)> &progress)
{
    return ::writeTimeLapse(job, cancel, progress);
}
