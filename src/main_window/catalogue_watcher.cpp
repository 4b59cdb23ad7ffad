#include "catalogue_watcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

CatalogueWatcher::CatalogueWatcher(const QString &file, QObject *parent)
    : QObject(parent), file_(file), watcher_(new QFileSystemWatcher(this)), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    timer_->setInterval(SettleMs);
    // A save writes a new file and renames it over the old one: the folder is watched too.
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &CatalogueWatcher::touched);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &CatalogueWatcher::touched);
    connect(timer_, &QTimer::timeout, this, [this] {
        rewatch();
        emit settled();
    });
    rewatch();
}

void CatalogueWatcher::touched()
{
    if (!timer_->isActive()) {
        firstChange_.start();
        timer_->start(SettleMs);
        return;
    }
    const qint64 left = LatestMs - firstChange_.elapsed();
    timer_->start(int(qBound(qint64(0), left, qint64(SettleMs))));
}

void CatalogueWatcher::rewatch()
{
    const QString folder = QFileInfo(file_).absolutePath();
    if (QFileInfo(folder).isDir() && !watcher_->directories().contains(folder))
        watcher_->addPath(folder);
    if (QFileInfo(file_).isFile() && !watcher_->files().contains(file_))
        watcher_->addPath(file_);
}
