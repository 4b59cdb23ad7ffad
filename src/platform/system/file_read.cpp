#include "file_read.h"

#include <QFile>
#include <QFileInfo>

namespace platform {

bool isPlainFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

FileRead readPlainFile(const QString &path, qint64 maxBytes)
{
    FileRead result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.problem = FileRead::Problem::Missing;
        return result;
    }
    if (info.isDir()) {
        result.problem = FileRead::Problem::Folder;
        return result;
    }
    if (!info.isFile()) {
        result.problem = FileRead::Problem::NotAFile;
        return result;
    }
    QFile file(path);
    clearSystemError();
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result.problem = FileRead::Problem::Failed;
        result.system = lastSystemError(file.errorString());
        return result;
    }
    constexpr qint64 Chunk = 64 * 1024;
    for (;;) {
        const qsizetype had = result.data.size();
        result.data.resize(had + Chunk);
        clearSystemError();
        const qint64 got = file.read(result.data.data() + had, Chunk);
        if (got < 0) {
            result.data.clear();
            result.problem = FileRead::Problem::Failed;
            result.system = lastSystemError(file.errorString());
            return result;
        }
        result.data.resize(had + got);
        if (result.data.size() > maxBytes) {
            result.data.clear();
            result.problem = FileRead::Problem::TooLarge;
            return result;
        }
        if (got == 0)
            return result;
    }
}

} // namespace platform
