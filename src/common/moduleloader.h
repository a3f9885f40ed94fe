#pragma once

#include <QMutex>
#include <QString>

class QObject;

// One of the program's modules (a Qt plugin that parts too heavy to load at start live in), loaded
// on first use and kept for the rest of the run. Thread-safe.
class ModuleLoader
{
public:
    // name: the module's file name without its suffix; iid: the interface it must offer.
    ModuleLoader(const char *name, const char *iid);

    // The module's instance, loaded when not loaded yet: from the program's folder (a build tree),
    // else from the library folder of an installed copy (relative to the program's folder, see
    // installedFolder()). Null when it cannot be loaded; `error` then says why (each file tried and
    // the loader's reason), and the next call tries again.
    QObject *instance(QString *error = nullptr);
    // Looks in this folder only from now on (tests; an empty text goes back to the program's
    // folders). Has no effect once the module is loaded.
    void setFolder(const QString &folder);

private:
    QMutex m_mutex;
    const char *m_name;
    const char *m_iid;
    QString m_folder;
    QObject *m_instance = nullptr;
};
