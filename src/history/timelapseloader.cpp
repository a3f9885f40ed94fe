#include "history/timelapseloader.h"

#include "common/moduleloader.h"
#include "timelapse/timelapsefactory.h"

#include <QString>

namespace {

ModuleLoader &timeLapseModule()
{
    static ModuleLoader module(VANTORA_TIME_LAPSE_MODULE, VANTORA_TIME_LAPSE_FACTORY_IID);
    return module;
}

} // namespace

TimeLapseFactory *timeLapseFactory(QString *error)
{
    return qobject_cast<TimeLapseFactory *>(timeLapseModule().instance(error));
}

void setTimeLapseModuleFolder(const QString &folder)
{
    timeLapseModule().setFolder(folder);
}
