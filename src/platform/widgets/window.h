#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <initializer_list>

namespace platform {

// A window of the fixed layouts, with a background picture drawn from its top-left corner at
// the picture's own size (a texture, so it covers the window).
class Window : public QWidget
{
    Q_OBJECT
public:
    explicit Window(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    // The picture is read once a run, however many windows show it.
    void setBackgroundPicture(const QString &path);

    // What every form of the layouts sets first: its name, caption, the program's icon, its
    // fixed size in pixels and the background picture.
    void setUpForm(const char *name, const QString &caption, QSize size);

    // The keyboard's focus order, first to last.
    void setFocusOrder(std::initializer_list<QWidget *> order);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap background_;
};

} // namespace platform
