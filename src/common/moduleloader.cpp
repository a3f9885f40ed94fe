#include "common/moduleloader.h"

#include "common/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutexLocker>
#include <QPluginLoader>
#include <QStringList>
#include <QThread>

namespace {

QStringList moduleFolders(const QString &executableFolder)
{
    const QDir bin(executableFolder);
    return {bin.path(), QDir::cleanPath(bin.filePath(QStringLiteral(VANTORA_MODULE_FOLDER_FROM_BIN)))};
}

} // namespace

ModuleLoader::ModuleLoader(const char *name, const char *iid)
    : m_name(name)
    , m_iid(iid)
{ }

QObject *ModuleLoader::instance(QString *error)
{
    const QMutexLocker lock(&m_mutex);
    if (m_instance != nullptr)
        return m_instance;
    const QStringList folders = m_folder.isEmpty() ? moduleFolders(installedFolder()) : QStringList{m_folder};
    QStringList reasons;
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(m_name));
        // The loader going away leaves the module loaded, for the rest of the run.
        QPluginLoader loader(path);
        QObject *object = loader.instance();
        if (object != nullptr && object->qt_metacast(m_iid) != nullptr) {
            // Loaded on a worker, it would belong to a thread that ends; it lives as long as the run.
            if (QCoreApplication::instance() != nullptr && object->thread() == QThread::currentThread())
                object->moveToThread(QCoreApplication::instance()->thread());
            m_instance = object;
            return m_instance;
        }
        reasons << path + QStringLiteral(": ") +
                (object == nullptr ? loader.errorString()
                                   : QStringLiteral("does not offer ") + QString::fromLatin1(m_iid));
    }
    if (error != nullptr)
        *error = reasons.join(QLatin1Char('\n'));
    return nullptr;
}

void ModuleLoader::setFolder(const QString &folder)
{
    const QMutexLocker lock(&m_mutex);
    m_folder = folder;
}
