#include "media.h"

namespace catalogue {

namespace {

QStringView extensionOf(QStringView fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const qsizetype slash = qMax(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u'\\'));
    return dot < 0 || dot < slash ? QStringView() : fileName.sliced(dot + 1);
}

} // namespace

const std::array<MediaKind, 3> &mediaKinds()
{
    static const std::array<MediaKind, 3> kinds = {{
        {Media::Cartridge, u"-cart ", u".rom", {u"rom", u"mx1", u"mx2"}, u"msx_cart",
         u"スロットＡ", u"ROM", u"本組"},
        {Media::Tape, u"-cass ", u".cas", {u"cas", {}, {}}, u"msx_cass", u"テープ", u"テープ", u"本組"},
        {Media::Disk, u"-flop ", u".dsk", {u"dsk", {}, {}}, u"floppy", u"ディスクＡ",
         u"ディスク", u"枚組"},
    }};
    return kinds;
}

const MediaKind &kindOf(Media media)
{
    return mediaKinds()[size_t(media)];
}

std::optional<Media> mediaOfLaunchArgs(QStringView launchArgs)
{
    for (const MediaKind &kind : mediaKinds()) {
        if (launchArgs.startsWith(kind.option))
            return kind.media;
    }
    return std::nullopt;
}

std::optional<Media> mediaOfFileName(QStringView fileName)
{
    const QStringView ext = extensionOf(fileName);
    if (ext.isEmpty())
        return std::nullopt;
    for (const MediaKind &kind : mediaKinds()) {
        for (const QStringView known : kind.extensions) {
            if (!known.isEmpty() && ext.compare(known, Qt::CaseInsensitive) == 0)
                return kind.media;
        }
    }
    return std::nullopt;
}

std::optional<Media> mediaOfInterface(QStringView interface)
{
    for (const MediaKind &kind : mediaKinds()) {
        if (interface.startsWith(kind.interfacePrefix))
            return kind.media;
    }
    return std::nullopt;
}

QString mediaOption(std::optional<Media> media)
{
    return media ? kindOf(*media).option.toString() : QString();
}

QString defaultExtension(std::optional<Media> media)
{
    return media ? kindOf(*media).defaultExtension.toString() : QString();
}

bool isZipFileName(QStringView fileName)
{
    return extensionOf(fileName).compare(u"zip", Qt::CaseInsensitive) == 0;
}

bool isGameFileName(QStringView fileName)
{
    return mediaOfFileName(fileName).has_value() || isZipFileName(fileName);
}

} // namespace catalogue
