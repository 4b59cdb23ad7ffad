// Sets that come as zips (a game's disks or tapes in one, as MAME's sets come), read with
// libzip; only the adapter program links it.
#include "media_sets.h"
#include "media_sets_detail.h"

#include "platform/system/file_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef TARUMIN_ADAPTER_ZIP
#include <zip.h>
#endif

namespace adapter {

using namespace detail;

QList<ZipMember> zipParts(const QString &zip, Media media)
{
#ifdef TARUMIN_ADAPTER_ZIP
    const QStringList extensions = extensionsOf(media);
    int error = 0;
    zip_t *archive = zip_open(platform::nameForSystem(zip).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return {};
    QStringList names;
    QList<ZipMember> members;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count && i < 1000; ++i) {
        const char *name = zip_get_name(archive, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        if (!name)
            continue;
        const QString member = QString::fromUtf8(name);
        if (!member.endsWith(u'/') && extensions.contains(QFileInfo(member).suffix().toLower()))
            members.append({qint64(i), member});
    }
    zip_close(archive);
    std::stable_sort(members.begin(), members.end(), [](const ZipMember &a, const ZipMember &b) {
        return partBefore(a.name, b.name);
    });
    return members.size() > MaxParts ? QList<ZipMember>() : members;
#else
    Q_UNUSED(zip);
    Q_UNUSED(media);
    return {};
#endif
}

std::optional<Staged> stageZip(const QString &base, const QString &zip, const QList<ZipMember> &members, qint64 pid)
{
#ifdef TARUMIN_ADAPTER_ZIP
    const std::optional<QString> folder = newStaging(base, pid);
    if (!folder)
        return std::nullopt;
    Staged staged{*folder, {}};
    int error = 0;
    zip_t *archive = zip_open(platform::nameForSystem(zip).constData(), ZIP_RDONLY, &error);
    bool whole = archive != nullptr;
    for (const ZipMember &member : members) {
        if (!whole)
            break;
        const QString part = *folder + QStringLiteral("/disk") + QString::number(staged.parts.size() + 1) + u'.'
                             + QFileInfo(member.name).suffix().toLower();
        zip_file_t *in = zip_fopen_index(archive, zip_uint64_t(member.index), 0);
        QFile out(part);
        whole = in && out.open(QIODevice::NewOnly | QIODevice::WriteOnly);
        qint64 total = 0;
        char buffer[65536];
        while (whole) {
            const zip_int64_t got = zip_fread(in, buffer, sizeof buffer);
            if (got <= 0) {
                whole = got == 0;
                break;
            }
            total += got;
            whole = total <= MaxPartBytes && out.write(buffer, got) == got;
        }
        if (in)
            zip_fclose(in);
        out.close();
        whole = whole && out.error() == QFile::NoError;
        staged.parts.append(part);
    }
    if (archive)
        zip_close(archive);
    if (!whole) {
        QDir(*folder).removeRecursively();
        return std::nullopt;
    }
    writeParts(staged);
    return staged;
#else
    Q_UNUSED(base);
    Q_UNUSED(zip);
    Q_UNUSED(members);
    Q_UNUSED(pid);
    return std::nullopt;
#endif
}

} // namespace adapter
