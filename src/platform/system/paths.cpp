#include "paths.h"

#include <QCoreApplication>

namespace platform {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString joinPath(const QString &folder, const QString &relative)
{
#ifdef Q_OS_WIN
    return folder + relative;
#else
    QString rel = relative;
    rel.replace(u'\\', u'/');
    return folder + rel;
#endif
}

} // namespace platform
