#include "record.h"

namespace catalogue {

Record splitRecord(QByteArrayView line)
{
    Record record;
    QByteArrayView rest = line;
    for (int field = 0; field < FieldCount - 1; ++field) {
        const qsizetype comma = rest.indexOf(',');
        if (comma < 0) {
            record.fields[field] = rest.toByteArray();
            return record;
        }
        record.fields[field] = rest.first(comma).toByteArray();
        rest = rest.sliced(comma + 1);
        ++record.cuts;
    }
    record.fields[LaunchArgsField] = rest.toByteArray();
    return record;
}

QByteArrayView gameNameOf(QByteArrayView line)
{
    const qsizetype comma = line.indexOf(',');
    return comma < 0 ? line : line.first(comma);
}

QString mediaOption(int slot)
{
    switch (slot) {
    case 0: return QStringLiteral("-cart ");
    case 1: return QStringLiteral("-cass ");
    case 2: return QStringLiteral("-flop ");
    default: return {};
    }
}

QString defaultExtension(int slot)
{
    switch (slot) {
    case 0: return QStringLiteral(".rom");
    case 1: return QStringLiteral(".cas");
    case 2: return QStringLiteral(".dsk");
    default: return {};
    }
}

QString snapNameFor(const QString &gameFileName)
{
    const qsizetype dot = gameFileName.indexOf(u'.');
    return dot < 0 ? gameFileName : gameFileName.first(dot);
}

QString launchArgsFor(const QString &gameFileName, int slot)
{
    const bool hasDot = gameFileName.contains(u'.');
    return mediaOption(slot) + gameFileName + (hasDot ? QString() : defaultExtension(slot));
}

QString composeLine(const Entry &e)
{
    const QChar comma(u',');
    return e.gameName + comma + e.media + comma + e.hatubai + comma + e.maker + comma + e.kakaku
           + comma + e.kasetu + comma + snapNameFor(e.gameFileName) + comma
           + launchArgsFor(e.gameFileName, e.slot);
}

QString foldLineBreaks(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out.append(u' ');
        } else if (c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            out.append(u' ');
        } else {
            out.append(c);
        }
    }
    return out;
}

} // namespace catalogue
