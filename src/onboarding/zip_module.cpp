// The module tarumin-zip: reads the one image of a zip with libzip.
#include "zip_image.h"

#include <QCryptographicHash>
#include <QFile>

#include "platform/system/sha1.h"

#include <zip.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

using onboarding::ZipImage;

namespace {

std::uint64_t little(const unsigned char *p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

// Reads count bytes at offset from the file, through a stream of its own.
bool readAt(QFile &file, qint64 offset, unsigned char *out, qint64 count)
{
    return file.seek(offset) && file.read(reinterpret_cast<char *>(out), count) == count;
}

// How many entries the zip's directory says it has, read from its end record (and the zip64
// record it points to), without reading the directory; -1 when there is no end record.
qint64 entriesOf(int fd)
{
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return -1;
    const qint64 size = file.size();
    const qint64 tail = qMin<qint64>(size, 22 + 65535);
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[size_t(tail) + 1]);
    if (tail < 22 || !readAt(file, size - tail, buffer.get(), tail))
        return -1;
    for (qint64 at = tail - 22; at >= 0; --at) {
        const unsigned char *end = buffer.get() + at;
        if (little(end, 4) != 0x06054b50)
            continue;
        std::uint64_t entries = little(end + 10, 2);
        if (entries == 0xFFFF && at >= 20 && little(end - 20, 4) == 0x07064b50) {
            unsigned char record[56];
            const std::uint64_t where = little(end - 20 + 8, 8);
            if (where < std::uint64_t(size) && readAt(file, qint64(where), record, 56)
                && little(record, 4) == 0x06064b50)
                entries = little(record + 32, 8);
        }
        return entries > std::uint64_t(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max()
                                                                          : qint64(entries);
    }
    return -1;
}

} // namespace

extern "C" Q_DECL_EXPORT void tarumin_read_zip_image(int fd, qint64 maxBytes, qint64 maxEntries,
                                                     ZipImage &out)
{
    out = ZipImage();
    if (fd < 0)
        return;
    if (entriesOf(fd) > maxEntries) {
        platform::closeDescriptor(fd);
        out.status = ZipImage::Status::TooManyEntries;
        return;
    }
    int error = 0;
    zip_t *opened = zip_fdopen(fd, ZIP_RDONLY, &error);
    if (!opened) {
        platform::closeDescriptor(fd); // zip_fdopen keeps the descriptor only when it succeeds
        return;
    }
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(opened, &zip_discard);
    QList<zip_int64_t> images;
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char *name = zip_get_name(archive.get(), zip_uint64_t(i), 0);
        if (name && !QByteArray(name).endsWith('/')) // not a folder entry
            images << i;
    }
    if (images.isEmpty()) {
        out.status = ZipImage::Status::NotSingle;
        return;
    }
    qint64 total = 0;
    for (const zip_int64_t image : images) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), zip_uint64_t(image), 0, &stat) != 0)
            return;
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(maxBytes - total)) {
            out.status = ZipImage::Status::TooLarge;
            return;
        }
        std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
            zip_fopen_index(archive.get(), zip_uint64_t(image), 0), &zip_fclose);
        if (!file)
            return;
        QCryptographicHash hash(QCryptographicHash::Sha1);
        char buffer[64 * 1024];
        qint64 size = 0;
        for (;;) {
            const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
            if (got < 0)
                return;
            if (got == 0)
                break;
            size += got;
            total += got;
            if (total > maxBytes) {
                out.status = ZipImage::Status::TooLarge;
                return;
            }
            hash.addData(QByteArrayView(buffer, got));
        }
        // libzip gives names in UTF-8.
        out.entries.append({QString::fromUtf8(stat.name), hash.result().toHex(), size});
    }
    out.name = out.entries.first().name;
    out.sha1 = out.entries.first().sha1;
    out.size = out.entries.first().size;
    out.status = ZipImage::Status::Read;
}

namespace {

void sha1Add(void *state, const char *data, qint64 size)
{
    platform::sha1Add(state, data, size);
}

const onboarding::Sha1Functions Sha1{platform::sha1Begin, sha1Add, platform::sha1End};

} // namespace

extern "C" Q_DECL_EXPORT const onboarding::Sha1Functions *tarumin_sha1_functions()
{
    return &Sha1;
}
