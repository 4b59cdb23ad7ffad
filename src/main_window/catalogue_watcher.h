#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

// Follows the catalogue file as other programs change it (a second copy of Tarumin, the import
// tool, an editor): a burst of changes is one settled(), a moment after the last; a file that
// never rests is still told of at the latest a second after its first change. A file replaced
// by a rename is watched anew.
class CatalogueWatcher : public QObject
{
    Q_OBJECT
public:
    static constexpr int SettleMs = 250;
    static constexpr int LatestMs = 1000;

    CatalogueWatcher(const QString &file, QObject *parent = nullptr);

signals:
    void settled();

private:
    void touched();
    void rewatch();

    QString file_;
    QFileSystemWatcher *watcher_;
    QTimer *timer_;
    QElapsedTimer firstChange_;
};
