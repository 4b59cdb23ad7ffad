#include "window.h"

#include "picture.h"

#include <QHash>
#include <QPainter>

namespace platform {

Window::Window(QWidget *parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

void Window::setBackgroundPicture(const QString &path)
{
    static QHash<QString, QPixmap> cache;
    auto it = cache.find(path);
    if (it == cache.end())
        it = cache.insert(path, backgroundTexture(builtInPicture(path, "GIF")));
    background_ = *it;
    update();
}

void Window::paintEvent(QPaintEvent *)
{
    if (background_.isNull())
        return;
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), background_);
}

} // namespace platform
