#pragma once

#include <QImage>
#include <QLabel>
#include <QString>

class QPainter;

#include <optional>

class QMovie;

namespace platform {

// Reads a picture file (GIF, JPEG, ...). Nothing when the file is missing or is not a picture.
std::optional<QImage> loadPicture(const QString &path);

// A picture of the program's own (built in) in a known format, read without asking every
// picture plugin whether it knows the data: that would load libraries the window never needs.
// On a screen above 100 % (scale > 1) its twice-as-detailed copy "name@2x.ext" is read when
// there is one, marked to be drawn at half its pixel size.
QImage builtInPicture(const QString &path, const char *format, qreal scale = 1.0);

// The picture as 8-bit indexes into its own colours when it has at most 256 of them, and
// opaque: the same pixels in a quarter of the memory, read by the painter as it draws. Any
// other picture is returned as it is. For pictures kept on show (a large one takes a while).
QImage paletted(const QImage &image);

// A window background texture, ready to be tiled from the top-left corner. A picture whose rows
// repeat every few lines (scan lines) is kept as one period of rows, which tiles to exactly the
// same pixels at a fraction of the memory; any other picture is kept whole.
QPixmap backgroundTexture(const QImage &image);

// Pictures drawn at a screen scale that is not a whole number are filtered; at 100 % or 200 %
// their pixels stay sharp.
void smoothWhenScaled(QPainter &painter, qreal screenScale);

// An image control: shows its picture at the picture's own size from its top-left corner,
// without a border, and reports clicks; the second click of a double-click is not reported.
// Pictures look the same in a disabled window. Given the keyboard's focus (a focus policy) it
// shows it, and Space or Enter presses it; a screen reader sees a button with a press action.
class ImageControl : public QLabel
{
    Q_OBJECT
public:
    explicit ImageControl(QWidget *parent = nullptr);

    void setPicture(const QImage &image);
    // Loads the picture file and shows it; a file that cannot be read leaves the picture shown
    // and returns false.
    bool setPictureFile(const QString &path);
    // As a click.
    void press();
    // The picture shown.
    QImage shownPicture() const { return picture_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool pressed_ = false;
    QImage picture_; // drawn as it is: no second copy as a pixmap
};

// A picture box with a sunken two-pixel border. A picture as large as the inside fills it; a
// larger one is scaled down to fit, keeping its proportions; a smaller one is shown at its
// own size in the top-left corner. An animated GIF plays. Pictures look the same in a disabled
// window.
class PictureBox : public QLabel
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setPicture(const QImage &image);
    // Returns false, leaving the picture shown, when the file cannot be read as a picture.
    bool setPictureFile(const QString &path);

    // What is shown, for the tests: the first frame of an animation.
    QImage currentImage() const;
    // The still picture as drawn: fitted to the box. Null while an animation plays.
    QImage shownPicture() const { return shown_; }
    bool isAnimated() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize fitted(QSize size) const;
    void dropMovie();

    QMovie *movie_ = nullptr;
    QImage image_;
    QImage shown_; // image_ fitted to the box (the same pixels when it fits), drawn as it is
};

} // namespace platform
