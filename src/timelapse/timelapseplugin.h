#pragma once

#include "timelapse/timelapsefactory.h"

#include <QObject>

// The time-lapse module: the video writer and the encoders' libraries it links, built as a module
// of its own so that only a run that makes a video loads them.
class TimeLapsePlugin : public QObject, public TimeLapseFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VANTORA_TIME_LAPSE_FACTORY_IID)
    Q_INTERFACES(TimeLapseFactory)

public:
    TimeLapseResult writeTimeLapse(const TimeLapseJob &job, const std::atomic<bool> &cancel,
                                   const std::function<void(int done, int total)> &progress) override;
};
