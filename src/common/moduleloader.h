#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

class QObject;

// Where the program's modules are looked for, in this order: in the program's folder (a build
// tree) and in the library folder of an installed copy (relative to the program's folder).
QStringList moduleFolders(const QString &executableFolder);

// One of the program's modules (a Qt plugin that parts too heavy to load at start live in), loaded
// on first use and kept for the rest of the run. Thread-safe.
class ModuleLoader
{
public:
    // name: the module's file name without its suffix; iid: the interface it must offer.
    ModuleLoader(const char *name, const char *iid);

    // The module's instance, loaded from moduleFolders(installedFolder()) when not loaded yet. Null
    // when it cannot be loaded; `error` then says why (the folders looked in and the loader's
    // reason), and the next call tries again.
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
