#include "modules.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QMutex>

namespace platform {

namespace {
QStringList &folders()
{
    static QStringList list;
    return list;
}
} // namespace

void setModuleFolders(const QStringList &list)
{
    folders() = list;
}

QStringList moduleFolders()
{
    if (!folders().isEmpty())
        return folders();
    return QCoreApplication::instance() ? QStringList{QCoreApplication::applicationDirPath()}
                                        : QStringList{};
}

QFunctionPointer moduleFunction(const char *module, const char *symbol)
{
    // Files are identified on several threads at once.
    static QMutex lock;
    const QMutexLocker locked(&lock);
    for (const QString &folder : moduleFolders()) {
        QLibrary library(folder + u'/' + QLatin1String(module));
        if (!library.load())
            continue;
        if (QFunctionPointer function = library.resolve(symbol))
            return function; // the library stays loaded: QLibrary does not unload on destruction
    }
    return nullptr;
}

} // namespace platform
