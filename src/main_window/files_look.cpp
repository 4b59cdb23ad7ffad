#include "files_look.h"

#include "onboarding/batch.h"
#include "platform/system/file_read.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

GameFilesLook::GameFilesLook(const platform::ProgramFolder &folder, QObject *parent)
    : QObject(parent), folder_(folder)
{
}

void GameFilesLook::start(const QList<QByteArray> &lines, const QHash<QString, player::GameRecord> &known)
{
    const int generation = ++generation_;
    auto *watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation == generation_)
            emit looked(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(platform::diskLookThreads(), [lines, folder = folder_, check = check_, known] {
        Result look{lines, {}, {}, {}};
        look.files.reserve(lines.size());
        for (const QByteArray &line : lines)
            look.files << onboarding::fileNamedBy(line, folder);
        look.check = check(look.files);
        look.keys = player::identify(look.files, known);
        return look;
    }));
}
