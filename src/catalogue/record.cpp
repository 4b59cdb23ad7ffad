#include "record.h"

#include "platform/system/codepage.h"

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

const QString &Entry::text(Field field) const
{
    switch (field) {
    case Field::GameName: return gameName;
    case Field::Media: return media;
    case Field::ReleaseDate: return releaseDate;
    case Field::Maker: return maker;
    case Field::Price: return price;
    case Field::Description: return description;
    case Field::GameFileName: break;
    }
    return gameFileName;
}

QString &Entry::text(Field field)
{
    return const_cast<QString &>(std::as_const(*this).text(field));
}

LineEntry entryFromLine(QByteArrayView line)
{
    const Record record = splitRecord(line);
    LineEntry entry;
    for (int i = 0; i < EntryTextCount - 1; ++i)
        entry.texts.text(Field(i)) = platform::decodeCp932(record.fields[i]);
    entry.snapName = platform::decodeCp932(record.fields[SnapNameField]);
    entry.texts.slot = mediaOfLaunchArgs(platform::decodeCp932(record.fields[LaunchArgsField]));
    return entry;
}

namespace {

// The file's own name: what follows its last folder separator, of either system.
QStringView baseNameOf(const QString &path)
{
    const qsizetype slash = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return QStringView(path).sliced(slash + 1);
}


// The first character of the text that CP932 cannot hold (exactly, for a file's name), or an
// empty text.
QString firstUnwritable(const QString &text, bool exact = false)
{
    const auto encode = exact ? platform::encodeCp932Exact : platform::encodeCp932;
    if (encode(text))
        return {};
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, len);
        i += len;
        if (!encode(ch))
            return ch;
    }
    return QStringLiteral("?");
}

} // namespace

QString quotedArgument(const QString &argument)
{
    if (!argument.contains(u' ') && !argument.contains(u'\t') && !argument.contains(u'"'))
        return argument;
    QString out(1, u'"');
    qsizetype backslashes = 0;
    for (const QChar c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"') {
            out += QString(backslashes * 2 + 1, u'\\');
            out += u'"';
        } else {
            out += QString(backslashes, u'\\');
            out += c;
        }
        backslashes = 0;
    }
    out += QString(backslashes * 2, u'\\');
    out += u'"';
    return out;
}

QString replaceUnwritable(const QString &text, const QString &replacement, QStringList *found)
{
    if (platform::encodeCp932(text))
        return text;
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, len);
        i += len;
        if (platform::encodeCp932(ch)) {
            out += ch;
            continue;
        }
        out += replacement;
        if (found && !found->contains(ch))
            found->append(ch);
    }
    return out;
}

QString snapNameFor(const QString &gameFileName)
{
    const QStringView name = baseNameOf(gameFileName);
    const qsizetype dot = name.indexOf(u'.');
    return (dot < 0 ? name : name.first(dot)).toString();
}

QString launchArgsFor(const QString &gameFileName, std::optional<Media> slot, bool exact)
{
    const bool hasDot = exact || baseNameOf(gameFileName).contains(u'.');
    return mediaOption(slot)
           + quotedArgument(gameFileName + (hasDot ? QString() : defaultExtension(slot)));
}

QString composeLine(const Entry &e)
{
    const QChar comma(u',');
    return e.gameName + comma + e.media + comma + e.releaseDate + comma + e.maker + comma
           + e.price + comma + e.description + comma + snapNameFor(e.gameFileName) + comma
           + launchArgsFor(e.gameFileName, e.slot, e.fileNameExact);
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

std::variant<QByteArray, EntryProblem> checkedLine(const Entry &typed, const EditBase *base)
{
    auto touched = [&](Field f) { return !base || typed.text(f) != base->shown.text(f); };
    // A new file name remakes fields 7 and 8 as a registration does; a new slot alone only
    // changes the media option in front of the file that field 8 names.
    const bool nameTouched = !base || typed.gameFileName != base->shown.gameFileName;
    const bool fileTouched = nameTouched
                             || typed.slot != base->shown.slot;
    if (base && !fileTouched) {
        bool any = false;
        for (int i = 0; i < EntryTextCount - 1; ++i)
            any = any || touched(Field(i));
        if (!any)
            return base->line;
    }

    Entry entry = typed;
    for (int i = 0; i < EntryTextCount; ++i)
        entry.text(Field(i)) = foldLineBreaks(entry.text(Field(i)));
    // A line without a name would be a blank row in the list.
    if (touched(Field::GameName) && entry.gameName.trimmed().isEmpty())
        return EntryProblem{EntryProblem::Kind::NoName, Field::GameName, {}};

    for (int i = 0; i < EntryTextCount - 1; ++i) {
        if (touched(Field(i)) && entry.text(Field(i)).contains(u','))
            return EntryProblem{EntryProblem::Kind::Comma, Field(i), {}};
    }
    const QString snapName = snapNameFor(entry.gameFileName);
    if (nameTouched && snapName.contains(u','))
        return EntryProblem{EntryProblem::Kind::Comma, Field::GameFileName, {}};

    const Record old = base ? splitRecord(base->line) : Record();
    std::array<QByteArray, FieldCount> fields;
    for (int i = 0; i < EntryTextCount - 1; ++i) {
        const Field f = Field(i);
        if (!touched(f)) {
            fields[i] = old.fields[i];
            continue;
        }
        const auto bytes = platform::encodeCp932(entry.text(f));
        if (!bytes)
            return EntryProblem{EntryProblem::Kind::Unwritable, f, firstUnwritable(entry.text(f))};
        fields[i] = *bytes;
    }
    if (nameTouched) {
        // A file's name is written as it is, or not at all: a twin would name another file.
        const auto snap = platform::encodeCp932Exact(snapName);
        const auto args = platform::encodeCp932Exact(launchArgsFor(entry.gameFileName, entry.slot, entry.fileNameExact));
        if (!snap || !args)
            return EntryProblem{EntryProblem::Kind::Unwritable, Field::GameFileName,
                                firstUnwritable(entry.gameFileName, true)};
        fields[SnapNameField] = *snap;
        fields[LaunchArgsField] = *args;
    } else if (fileTouched) {
        const QByteArray &args = old.fields[LaunchArgsField];
        const qsizetype oldOption = mediaOption(mediaOfLaunchArgs(QString::fromLatin1(args.left(6)))).size();
        fields[SnapNameField] = old.fields[SnapNameField];
        fields[LaunchArgsField] = mediaOption(entry.slot).toLatin1() + args.mid(oldOption);
    } else {
        fields[SnapNameField] = old.fields[SnapNameField];
        fields[LaunchArgsField] = old.fields[LaunchArgsField];
    }

    QByteArray line;
    for (int i = 0; i < FieldCount; ++i) {
        if (i)
            line += ',';
        line += fields[i];
    }
    return line;
}

} // namespace catalogue
