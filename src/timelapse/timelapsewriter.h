#pragma once

#include "timelapse/timelapsejob.h"

#include <atomic>
#include <functional>

// Writes the job's video; blocks, so it runs on a worker. The first readable picture sets the
// video's size (rounded down to even numbers); a picture of another size is scaled into it with
// borders, and a picture that cannot be read is left out. progress(done, total) is called on this
// thread after each picture. Setting `cancel` stops it soon after. The file is written under a
// temporary name beside the pictures and renamed when complete; a cancelled or failed video leaves
// no file, and an existing file is never replaced.
TimeLapseResult writeTimeLapse(const TimeLapseJob &job, const std::atomic<bool> &cancel,
                               const std::function<void(int done, int total)> &progress);
