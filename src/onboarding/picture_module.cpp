// The module tarumin-picture: crops an emulator's screen to its snapshot.
#include "snapshot_picture.h"

#include <QImage>

using onboarding::CropResult;

extern "C" Q_DECL_EXPORT CropResult tarumin_crop_snapshot(const QString &screen, const QString &target)
{
    QImage image(screen);
    if (image.isNull())
        return CropResult::Unreadable;
    // The raw screen is 320 x 240 with the border; the picture is the 256 x 192 inside it.
    if (image.size() == QSize(320, 240))
        image = image.copy(32, 24, 256, 192);
    else if (image.size() == QSize(640, 480))
        image = image.copy(64, 48, 512, 384).scaled(256, 192, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    else if (image.size() != QSize(256, 192))
        image = image.scaled(256, 192, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.save(target, "PNG") ? CropResult::Saved : CropResult::NotSaved;
}
