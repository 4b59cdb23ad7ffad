#include "window.h"

#include "picture.h"

#include <QHash>
#include <QIcon>
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

void Window::setUpForm(const char *name, const QString &caption, QSize size)
{
    setObjectName(QLatin1String(name));
    setWindowTitle(caption);
    // Read as PNG by name: an icon read from a file name probes every picture plugin, which
    // loads libraries (JPEG among them) the windows do not need.
    static const QIcon icon(QPixmap::fromImage(builtInPicture(QStringLiteral(":/assets/icon.gif"), "GIF")));
    setWindowIcon(icon);
    setFixedSize(size);
    setBackgroundPicture(QStringLiteral(":/assets/background.gif"));
}

void Window::setFocusOrder(std::initializer_list<QWidget *> order)
{
    QWidget *previous = nullptr;
    for (QWidget *w : order) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
}

void Window::paintEvent(QPaintEvent *)
{
    if (background_.isNull())
        return;
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), background_);
}

} // namespace platform
