// The module tarumin-zip: reads the one image of a zip with libzip.
#include "zip_image.h"

#include <QCryptographicHash>
#include <QFile>

#include <zip.h>

#include <memory>

using onboarding::ZipImage;

extern "C" Q_DECL_EXPORT void tarumin_read_zip_image(const QString &path, qint64 maxBytes, ZipImage &out)
{
    out = ZipImage();
    int error = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error), &zip_discard);
    if (!archive)
        return;
    zip_int64_t image = -1;
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char *name = zip_get_name(archive.get(), zip_uint64_t(i), 0);
        if (!name || QByteArray(name).endsWith('/'))
            continue; // a folder entry
        if (image >= 0) {
            out.status = ZipImage::Status::NotSingle;
            return;
        }
        image = i;
    }
    if (image < 0) {
        out.status = ZipImage::Status::NotSingle;
        return;
    }
    zip_stat_t stat;
    if (zip_stat_index(archive.get(), zip_uint64_t(image), 0, &stat) != 0)
        return;
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(maxBytes)) {
        out.status = ZipImage::Status::TooLarge;
        return;
    }
    out.name = QFile::decodeName(stat.name);
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
        zip_fopen_index(archive.get(), zip_uint64_t(image), 0), &zip_fclose);
    if (!file)
        return;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    char buffer[64 * 1024];
    qint64 total = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
        if (got < 0)
            return;
        if (got == 0)
            break;
        total += got;
        if (total > maxBytes) {
            out.status = ZipImage::Status::TooLarge;
            return;
        }
        hash.addData(QByteArrayView(buffer, got));
    }
    out.size = total;
    out.sha1 = hash.result().toHex();
    out.status = ZipImage::Status::Read;
}
