#include "picture.h"

#include "platform/system/file_read.h"

#include <QAccessibleWidget>
#include <QBuffer>
#include <QKeyEvent>
#include <QImageReader>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <cmath>

namespace platform {

namespace {

// No picture of the layouts comes near this; a larger file is not a picture for the window.
constexpr qint64 MaxPictureBytes = 32 * 1024 * 1024;

} // namespace

std::optional<QImage> loadPicture(const QString &path)
{
    const FileRead read = readPlainFile(path, MaxPictureBytes);
    if (!read.ok())
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(read.data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    return image;
}

QImage builtInPicture(const QString &path, const char *format, qreal scale)
{
    const auto read = [format](const QString &name) {
        QImageReader reader(name, format);
        reader.setAutoDetectImageFormat(false);
        return reader.read();
    };
    if (scale > 1.0) {
        const qsizetype dot = path.lastIndexOf(u'.');
        QImage sharper = read(path.left(dot) + QStringLiteral("@2x") + path.mid(dot));
        if (!sharper.isNull()) {
            sharper.setDevicePixelRatio(2.0);
            return sharper;
        }
    }
    return read(path);
}

QImage paletted(const QImage &image)
{
    if (image.format() != QImage::Format_RGB32)
        return image;
    // Qt keeps the colours exactly while there are at most 256 of them; with more it would
    // pick some, so the result is kept only when it gives back the very same pixels.
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    return indexed.convertToFormat(QImage::Format_RGB32) == image ? indexed : image;
}

void smoothWhenScaled(QPainter &painter, qreal screenScale)
{
    // At 200 % each picture pixel is a sharp 2 x 2 block; at 125 % or 150 % pixels of one
    // picture would come out one and two screen pixels wide by turns, so the picture is
    // filtered instead.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, screenScale != std::floor(screenScale));
}

QPixmap backgroundTexture(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int rowBytes = int(rgb.bytesPerLine());
    for (int period = 1; period <= 8 && period < rgb.height(); ++period) {
        bool repeats = true;
        for (int y = period; y < rgb.height() && repeats; ++y)
            repeats = memcmp(rgb.constScanLine(y), rgb.constScanLine(y - period), size_t(rowBytes)) == 0;
        if (repeats)
            return QPixmap::fromImage(rgb.copy(0, 0, rgb.width(), period));
    }
    return QPixmap::fromImage(rgb);
}

namespace {

// A screen reader sees an image control as the button it is, with a press action.
class ImageControlAccessible : public QAccessibleWidget
{
public:
    explicit ImageControlAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Button) {}
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            static_cast<ImageControl *>(widget())->press();
    }
};

QAccessibleInterface *imageControlAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("platform::ImageControl") && object && object->isWidgetType())
        return new ImageControlAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

ImageControl::ImageControl(QWidget *parent) : QLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(imageControlAccessible);
        return true;
    }();
    Q_UNUSED(installed);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAttribute(Qt::WA_TranslucentBackground);
}

void ImageControl::press()
{
    emit clicked();
}

void ImageControl::keyPressEvent(QKeyEvent *event)
{
    // Space and Enter press it; a key held down presses it once.
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)
        && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (!event->isAutoRepeat())
            emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ImageControl::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    update();
}

void ImageControl::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    update();
}

void ImageControl::setPicture(const QImage &image)
{
    picture_ = image;
    update();
}

bool ImageControl::setPictureFile(const QString &path)
{
    const auto image = loadPicture(path);
    if (!image)
        return false;
    setPicture(*image);
    return true;
}

void ImageControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    smoothWhenScaled(painter, devicePixelRatioF());
    painter.drawImage(0, 0, picture_);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void ImageControl::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ImageControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click is not a click of its own.
    pressed_ = false;
    event->accept();
}

void ImageControl::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

PictureBox::PictureBox(QWidget *parent) : QLabel(parent)
{
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(pal);
}

QSize PictureBox::fitted(QSize size) const
{
    const QSize room = contentsRect().size();
    if (size.width() <= room.width() && size.height() <= room.height())
        return size;
    return size.scaled(room, Qt::KeepAspectRatio);
}

void PictureBox::dropMovie()
{
    if (movie_) {
        QLabel::setMovie(nullptr);
        movie_->stop();
        delete movie_;
        movie_ = nullptr;
    }
}

void PictureBox::setPicture(const QImage &image)
{
    dropMovie();
    image_ = image;
    // A picture marked as twice as detailed (the built-in one on a screen above 100 %) takes
    // the room of half its pixel size.
    const QSize shown = image.deviceIndependentSize().toSize();
    const QSize size = fitted(shown);
    shown_ = size == shown ? image
                           : image.scaled(size * image.devicePixelRatio(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    update();
}

bool PictureBox::setPictureFile(const QString &path)
{
    const FileRead read = readPlainFile(path, MaxPictureBytes);
    if (!read.ok())
        return false;
    auto *buffer = new QBuffer(this);
    buffer->setData(read.data);
    buffer->open(QIODevice::ReadOnly);
    QImageReader reader(buffer);
    QImage first;
    if (!reader.read(&first) || first.isNull()) {
        delete buffer;
        return false;
    }
    const bool animated = reader.supportsAnimation() && reader.imageCount() > 1;
    if (animated) {
        dropMovie();
        clear();
        shown_ = QImage();
        image_ = first;
        buffer->seek(0);
        movie_ = new QMovie(buffer, QByteArray(), this);
        buffer->setParent(movie_); // the movie reads its frames from the bytes read here
        movie_->setScaledSize(fitted(first.size()));
        QLabel::setMovie(movie_);
        movie_->start();
        return true;
    }
    delete buffer;
    setPicture(first);
    return true;
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    smoothWhenScaled(painter, devicePixelRatioF());
    if (movie_)
        painter.drawPixmap(contentsRect().topLeft(), movie_->currentPixmap());
    else
        painter.drawImage(contentsRect().topLeft(), shown_);
    // The picture takes the keyboard's focus: it shows when it has it.
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = contentsRect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

QImage PictureBox::currentImage() const
{
    return image_;
}

bool PictureBox::isAnimated() const
{
    return movie_ != nullptr;
}

} // namespace platform
