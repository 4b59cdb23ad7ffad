#include "batch.h"

#include "catalogue/record.h"
#include "platform/system/codepage.h"
#include "platform/system/launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <variant>

namespace onboarding {

namespace {

// A list's text made fit for a line: commas become full-width, what CP932 cannot hold "？".
QString fitted(const QString &text, QStringList &replaced)
{
    QString out = catalogue::foldLineBreaks(text);
    out.replace(u',', QStringLiteral("，"));
    return catalogue::replaceUnwritable(out, QStringLiteral("？"), &replaced);
}

QString mediaText(catalogue::Media media, qint64 imageSize, bool msx2)
{
    QString text = catalogue::kindOf(media).mediaText.toString();
    if (media == catalogue::Media::Cartridge && imageSize > 64 * 1024)
        text = QStringLiteral("メガROM");
    return msx2 ? QStringLiteral("MSX2 ") + text : text;
}

QString normalised(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

} // namespace

BatchItem composeItem(const GameFile &file, const KnownImage *known, const platform::ProgramFolder &programFolder)
{
    BatchItem item;
    item.path = file.path;
    using Problem = BatchItem::Problem;
    switch (file.problem) {
    case GameFile::Problem::None: break;
    case GameFile::Problem::Unreadable: item.problem = Problem::Unreadable; return item;
    case GameFile::Problem::NotPlain: item.problem = Problem::NotPlain; return item;
    case GameFile::Problem::TooLarge: item.problem = Problem::TooLarge; return item;
    case GameFile::Problem::ZipNotSingle: item.problem = Problem::ZipNotSingle; return item;
    case GameFile::Problem::ZipTooManyEntries: item.problem = Problem::ZipTooManyEntries; return item;
    case GameFile::Problem::NoZipReader: item.problem = Problem::NoZipReader; return item;
    }
    std::optional<catalogue::Media> media = known ? known->media : std::nullopt;
    if (!media)
        media = catalogue::mediaOfFileName(file.imageName);
    if (!media) {
        item.problem = Problem::UnknownMedia;
        return item;
    }

    catalogue::Entry entry;
    const QFileInfo info(file.path);
    // Field 7 and 8 as a registration makes them: a file in the program folder by its bare name.
    entry.gameFileName = programFolder.holdsDirectly(file.path)
                             ? info.fileName()
                             : QDir::toNativeSeparators(file.path);
    entry.slot = media;
    if (known) {
        item.known = *known;
        entry.gameName = fitted(known->altTitle.isEmpty() ? known->description : known->altTitle,
                                item.replaced);
        entry.media = mediaText(*media, file.imageSize, known->msx2);
        static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
        entry.releaseDate = fitted(known->year, item.replaced)
                            + (fourDigits.match(known->year).hasMatch() ? QStringLiteral("年") : QString());
        entry.maker = fitted(known->publisher, item.replaced);
        entry.description = fitted(known->description, item.replaced);
    } else {
        entry.gameName = catalogue::snapNameFor(entry.gameFileName);
        entry.media = mediaText(*media, 0, false); // ROM, テープ or ディスク
    }
    const auto line = catalogue::checkedLine(entry);
    if (const auto *problem = std::get_if<catalogue::EntryProblem>(&line)) {
        item.problem = problem->kind == catalogue::EntryProblem::Kind::Comma
                           ? Problem::CommaInName
                           : Problem::UnwritableName;
        item.character = problem->character;
        return item;
    }
    item.line = std::get<QByteArray>(line);
    item.outcome = known ? BatchItem::Outcome::Identified : BatchItem::Outcome::NotIdentified;
    return item;
}

QString fileNamedBy(QByteArrayView line, const platform::ProgramFolder &programFolder)
{
    const catalogue::Record record = catalogue::splitRecord(line);
    const QString args = platform::decodeCp932(record.fields[catalogue::LaunchArgsField]);
    const QStringList words =
        platform::splitCommandLine(args.mid(catalogue::mediaOption(catalogue::mediaOfLaunchArgs(args)).size()));
    if (words.isEmpty())
        return {};
    QString name = words.first();
    name.replace(u'\\', u'/');
    const bool absolute = QDir::isAbsolutePath(name) || (name.size() > 1 && name.at(1) == u':');
    return normalised(absolute ? name : programFolder.root() + u'/' + name);
}

QList<QByteArray> settle(QList<BatchItem> &items, const catalogue::LineTable &table,
                         const platform::ProgramFolder &programFolder)
{
    QSet<QString> named;
    for (int k = 0; k < table.size(); ++k) {
        const QString file = fileNamedBy(table.line(k), programFolder);
        if (!file.isEmpty())
            named.insert(file);
    }
    int room = catalogue::LineTable::Capacity - table.size();
    QList<QByteArray> lines;
    for (BatchItem &item : items) {
        if (item.outcome != BatchItem::Outcome::Identified
            && item.outcome != BatchItem::Outcome::NotIdentified)
            continue;
        const QString file = normalised(item.path);
        if (named.contains(file)) {
            item.outcome = BatchItem::Outcome::AlreadyThere;
            continue;
        }
        if (room == 0) {
            item.outcome = BatchItem::Outcome::DoesNotFit;
            continue;
        }
        named.insert(file);
        --room;
        lines << item.line;
    }
    return lines;
}

QList<BatchItem> identify(const QStringList &files, const SoftwareLists &lists,
                          const platform::ProgramFolder &programFolder, const std::function<bool(int)> &progress)
{
    QList<BatchItem> items;
    for (const QString &path : files) {
        if (progress && !progress(int(items.size())))
            break;
        const GameFile file = readGameFile(path);
        items << composeItem(file, file.problem == GameFile::Problem::None ? lists.find(file.sha1) : nullptr,
                             programFolder);
    }
    return items;
}

BatchCounts countOf(const QList<BatchItem> &items)
{
    BatchCounts c;
    for (const BatchItem &item : items) {
        switch (item.outcome) {
        case BatchItem::Outcome::Identified: ++c.identified; break;
        case BatchItem::Outcome::NotIdentified: ++c.notIdentified; break;
        case BatchItem::Outcome::AlreadyThere: ++c.alreadyThere; break;
        case BatchItem::Outcome::DoesNotFit: ++c.doesNotFit; break;
        case BatchItem::Outcome::NotAGame: ++c.notAGame; break;
        }
    }
    return c;
}

SoftwareLists loadSoftwareLists(const platform::ProgramFolder &programFolder,
                                const std::atomic<bool> *cancel)
{
    SoftwareLists lists;
    lists.setCancelFlag(cancel);
    lists.loadFolder(programFolder.softwareLists());
    lists.loadOpenMsxDatabase(SoftwareLists::installedOpenMsxDatabase());
    lists.setCancelFlag(nullptr);
    return lists;
}

} // namespace onboarding
