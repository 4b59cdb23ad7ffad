#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap background_;
};

} // namespace platform
