#include "batch.h"

#include "known_files.h"

#include "catalogue/record.h"
#include "platform/system/codepage.h"
#include "platform/system/launcher.h"
#include "platform/system/paths.h"

#include "platform/system/file_names.h"
#include "platform/system/file_read.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QThread>
#include <QSet>

#include <algorithm>
#include <thread>
#include <variant>
#include <vector>

namespace onboarding {

namespace {

// A list's text made fit for a line: commas become full-width, what CP932 cannot hold "？".
QString fitted(const QString &text, QStringList &replaced)
{
    QString out = catalogue::foldLineBreaks(text);
    out.replace(u',', QStringLiteral("，"));
    return catalogue::replaceUnwritable(out, QStringLiteral("？"), &replaced);
}

QString mediaText(catalogue::Media media, qint64 imageSize, const KnownImage *known)
{
    QString text = catalogue::kindOf(media).mediaText.toString();
    if (media == catalogue::Media::Cartridge && (imageSize > 64 * 1024 || (known && known->mapper)))
        text = QStringLiteral("メガROM");
    if (known && known->parts > 1)
        text += QString::number(known->parts) + catalogue::kindOf(media).setCounter.toString();
    return known && known->msx2 ? QStringLiteral("MSX2 ") + text : text;
}

QString normalised(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

// The line with the launch arguments (field 8) of another: every other byte kept.
QByteArray withLaunchArgsOf(const QByteArray &line, const QByteArray &from)
{
    auto launchStart = [](const QByteArray &l) {
        qsizetype at = -1;
        for (int cut = 0; cut < catalogue::LaunchArgsField; ++cut) {
            at = l.indexOf(',', at + 1);
            if (at < 0)
                return qsizetype(-1);
        }
        return at + 1;
    };
    const qsizetype keep = launchStart(line), take = launchStart(from);
    if (keep < 0 || take < 0)
        return line;
    return line.left(keep) + from.mid(take);
}

// Where a file stands in a set its name tells of ("ゆめ_disk1.dsk", "Game (Disk 2 of 3).dsk",
// "game_B.cas", "game-2.dsk"): the name with its number taken out, and the number. Parsed by
// hand: this runs on worker threads (see fourDigits below).
struct SetPart
{
    QString key;
    int number = 0;
};
// A name's number in its set, and the name around it (head and tail).
struct NumberedName
{
    QString head, tail;
    int number = 0;
};
std::optional<NumberedName> numberedName(const QString &stem)
{
    auto numberAt = [&stem](qsizetype at, qsizetype &end) -> int {
        if (at < stem.size() && stem.at(at).isDigit()) {
            int n = 0;
            end = at;
            while (end < stem.size() && stem.at(end).isDigit() && end - at < 2)
                n = n * 10 + stem.at(end++).digitValue();
            return end < stem.size() && stem.at(end).isDigit() ? 0 : n;
        }
        if (at < stem.size()) {
            const char16_t c = stem.at(at).toLower().unicode();
            end = at + 1;
            if (c >= u'a' && c <= u'd' && (end == stem.size() || !stem.at(end).isLetter()))
                return int(c - u'a') + 1;
        }
        return 0;
    };
    const QString lower = stem.toLower();
    qsizetype word = -1;
    for (const char *w : {"disk", "disc", "side"})
        word = qMax(word, lower.lastIndexOf(QLatin1String(w)));
    qsizetype at = -1, end = -1;
    int number = 0;
    if (word >= 0) {
        at = word + 4;
        while (at < stem.size() && (stem.at(at) == u' ' || stem.at(at) == u'_' || stem.at(at) == u'-'))
            ++at;
        number = numberAt(at, end);
    }
    if (number == 0 && stem.size() >= 3) {
        const QChar before = stem.at(stem.size() - 2);
        if (before == u'_' || before == u'-' || before == u' ') {
            at = stem.size() - 1;
            number = numberAt(at, end);
        }
    }
    if (number == 0)
        return std::nullopt;
    return NumberedName{stem.left(at), stem.mid(end), number};
}

std::optional<SetPart> setPartOf(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot).toLower() : QString();
    const auto numbered = numberedName(stem);
    if (!numbered)
        return std::nullopt;
    return SetPart{info.absolutePath() + u'/' + numbered->head + u'#' + numbered->tail + extension, numbered->number};
}

// A set's title: its first part's name without the words of its number ("Game (Disk 1 of
// 2)", "ゆめ_disk1", "game_A" and "game-1" are "Game", "ゆめ", "game" and "game").
QString setTitle(const QString &title)
{
    const auto numbered = numberedName(title);
    if (!numbered)
        return title;
    QString head = numbered->head, tail = numbered->tail;
    // The word before the number ("Disk ", "side_") goes with it.
    const QString lower = head.toLower();
    for (const char *w : {"disk", "disc", "side"}) {
        qsizetype word = lower.lastIndexOf(QLatin1String(w));
        if (word >= 0 && lower.mid(word + 4).trimmed().remove(u'_').remove(u'-').isEmpty()) {
            head.truncate(word);
            break;
        }
    }
    // So does " of 3" after it.
    qsizetype t = 0;
    while (t < tail.size() && tail.at(t) == u' ')
        ++t;
    if (tail.mid(t, 2).compare(QLatin1String("of"), Qt::CaseInsensitive) == 0) {
        t += 2;
        while (t < tail.size() && tail.at(t) == u' ')
            ++t;
        while (t < tail.size() && tail.at(t).isDigit())
            ++t;
        tail = tail.mid(t);
    }
    auto separator = [](QChar c) { return c == u' ' || c == u'_' || c == u'-'; };
    // Brackets left empty go, and the separators at the seam.
    while (!head.isEmpty() && (separator(head.back()) || head.back() == u'(' || head.back() == u'['))
        head.chop(1);
    while (!tail.isEmpty() && (separator(tail.front()) || tail.front() == u')' || tail.front() == u']'))
        tail.remove(0, 1);
    const QString joined = tail.isEmpty() ? head : head + u' ' + tail;
    return joined.isEmpty() ? title : joined;
}

// The line with another media text (field 2).
QByteArray withMediaText(const QByteArray &line, const QString &media)
{
    const qsizetype first = line.indexOf(',');
    const qsizetype second = first < 0 ? -1 : line.indexOf(',', first + 1);
    const auto bytes = platform::encodeCp932(media);
    if (second < 0 || !bytes)
        return line;
    return line.left(first + 1) + *bytes + line.mid(second);
}

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

bool backslashIsNoSeparator()
{
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}

// A file's own name made fit for the catalogue: a comma becomes "，", a character CP932 has a
// full-width twin for becomes the twin, a line break, a
// backslash and each character CP932 cannot hold "_".
QString fittedFileName(const QString &systemName)
{
    // A name that is not UTF-8 is read as the CP932 it usually is (else its bytes as \xNN).
    const QString name = platform::readableName(systemName);
    QString out;
    for (qsizetype i = 0; i < name.size();) {
        const qsizetype len = name.at(i).isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        const QString ch = name.mid(i, len);
        i += len;
        if (ch == u",")
            out += QStringLiteral("，");
        else if (isLineBreak(ch.at(0)) || (ch == u"\\" && backslashIsNoSeparator()))
            out += u'_';
        else if (platform::encodeCp932Exact(ch))
            out += ch;
        else if (const QString twin = platform::withWindowsTwins(ch); twin != ch && platform::encodeCp932Exact(twin))
            out += twin; // 〜 as ～: the character CP932 has for it
        else
            out += u'_';
    }
    return out;
}

} // namespace

bool catalogueCanName(const QString &name)
{
    for (const QChar c : name) {
        if (c == u',' || isLineBreak(c) || (c == u'\\' && backslashIsNoSeparator()))
            return false;
    }
    return platform::encodeCp932Exact(name).has_value();
}

Placement placeFile(const GameFile &game, const platform::ProgramFolder &programFolder,
                    const Copying &copying)
{
    const QString &path = game.path;
    const QFileInfo info(path);
    const QString copies = QDir::cleanPath(programFolder.copiedGames());
    // A file already among the copies is named by its place there.
    if (QDir::cleanPath(info.absolutePath()) == copies && catalogueCanName(info.fileName()))
        return {QStringLiteral("games/") + info.fileName(), info.absoluteFilePath(), false, {}, {}};
    const QString own = programFolder.holdsDirectly(path) ? info.fileName()
                                                          : QDir::toNativeSeparators(path);
    if (copying.mode == Copying::Mode::WhenNeeded && catalogueCanName(own))
        return {own, {}, false, {}, {}};

    // Into games/ under a name the catalogue can hold; an identical file there is reused, a
    // different one keeps its name and the copy takes a numbered one.
    Placement placed;
    placed.forTheName = !catalogueCanName(own);
    if (game.problem != GameFile::Problem::None) {
        placed.problem = Placement::Problem::CannotCopy;
        return placed;
    }
    const QString name = fittedFileName(info.fileName());
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    platform::clearSystemError();
    if (copying.write && !QFileInfo(copies).isDir() && !QDir().mkdir(copies) && !QFileInfo(copies).isDir()) {
        placed.problem = Placement::Problem::CannotCopy;
        placed.system = platform::lastSystemError();
        return placed;
    }
    const GameCopy copy = copyGameFile(game, copies, [&](int n) {
        return n == 1 ? name : QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(extension);
    }, 999, copying.write);
    switch (copy.status) {
    case GameCopy::Status::Copied:
    case GameCopy::Status::Reused:
    case GameCopy::Status::Planned:
        placed.name = QStringLiteral("games/") + copy.fileName;
        placed.copy = copies + u'/' + copy.fileName;
        placed.newCopy = copy.status != GameCopy::Status::Reused;
        return placed;
    case GameCopy::Status::Changed:
        placed.problem = Placement::Problem::Changed;
        return placed;
    case GameCopy::Status::Failed:
        placed.system = copy.system;
        [[fallthrough]];
    case GameCopy::Status::NoFreeName:
        placed.problem = Placement::Problem::CannotCopy;
        return placed;
    }
    return placed;
}

BatchItem composeItem(const GameFile &file, const KnownImage *known,
                      const platform::ProgramFolder &programFolder, const Copying &copying,
                      const QString &otherSystem)
{
    BatchItem item;
    item.path = file.path;
    using Problem = BatchItem::Problem;
    if (file.problem != GameFile::Problem::None) {
        item.problem = Problem::File;
        item.fileProblem = file.problem;
        return item;
    }
    if (!known && !otherSystem.isEmpty()) {
        item.problem = Problem::OtherSystem;
        item.detail = otherSystem;
        return item;
    }
    if (known)
        item.known = *known;
    if (known && !known->dataArea.isEmpty()) {
        item.problem = Problem::DataRom;
        return item;
    }
    if (known && known->hardware) {
        item.problem = Problem::Extension;
        return item;
    }
    std::optional<catalogue::Media> media = known ? known->media : std::nullopt;
    if (!media)
        media = catalogue::mediaOfFileName(file.imageName);
    if (!media) {
        item.problem = Problem::UnknownMedia;
        return item;
    }

    // Field 7 and 8 as a registration makes them: a file in the program folder by its bare
    // name, one elsewhere by its full path, one the catalogue cannot name by its copy.
    const Placement placed = placeFile(file, programFolder, copying);
    if (placed.name.isEmpty()) {
        item.problem = placed.problem == Placement::Problem::Changed ? Problem::Changed
                                                                     : Problem::CannotCopy;
        item.system = placed.system;
        return item;
    }
    item.copy = placed.copy;
    item.newCopy = placed.newCopy;
    item.copyForTheName = placed.forTheName && !placed.copy.isEmpty();
    item.sha1 = file.sha1;
    catalogue::Entry entry;
    entry.gameFileName = placed.name;
    entry.fileNameExact = true; // a file without an extension keeps its name
    entry.slot = media;
    if (known) {
        // The Japanese title, unless it would lose characters the English one keeps; a title
        // that would be empty is the file's name.
        QStringList titleLost;
        entry.gameName = fitted(known->altTitle.isEmpty() ? known->description : known->altTitle, titleLost);
        if (!known->altTitle.isEmpty() && !titleLost.isEmpty()) {
            QStringList descriptionLost;
            const QString description = fitted(known->description, descriptionLost);
            if (descriptionLost.isEmpty() && !description.trimmed().isEmpty()) {
                entry.gameName = description;
                titleLost.clear();
            }
        }
        for (const QString &ch : titleLost) {
            if (!item.replaced.contains(ch))
                item.replaced << ch;
        }
        if (entry.gameName.trimmed().isEmpty())
            entry.gameName = catalogue::snapNameFor(entry.gameFileName);
        if (entry.gameName.trimmed().isEmpty()) // ".rom": the whole name
            entry.gameName = QFileInfo(entry.gameFileName).fileName();
        entry.media = mediaText(*media, file.imageSize, known);
        // Four digits, checked by hand: this runs on worker threads, whose regular expressions'
        // per-thread stacks crashed the Windows program when such a thread ended.
        const bool fourDigits = known->year.size() == 4
                                && std::all_of(known->year.cbegin(), known->year.cend(),
                                               [](QChar c) { return c >= u'0' && c <= u'9'; });
        entry.releaseDate = fitted(known->year, item.replaced) + (fourDigits ? QStringLiteral("年") : QString());
        entry.maker = fitted(known->publisher, item.replaced);
        entry.description = fitted(known->description, item.replaced);
    } else {
        entry.gameName = catalogue::snapNameFor(entry.gameFileName);
        if (entry.gameName.trimmed().isEmpty()) // ".rom": the whole name
            entry.gameName = QFileInfo(entry.gameFileName).fileName();
        entry.media = mediaText(*media, 0, nullptr); // ROM, テープ or ディスク
    }
    const auto line = catalogue::checkedLine(entry);
    if (const auto *problem = std::get_if<catalogue::EntryProblem>(&line)) {
        item.problem = problem->kind == catalogue::EntryProblem::Kind::Comma
                           ? Problem::CommaInName
                           : Problem::UnwritableName;
        item.detail = problem->character;
        return item;
    }
    item.line = std::get<QByteArray>(line);
    item.outcome = known ? BatchItem::Outcome::Identified : BatchItem::Outcome::NotIdentified;
    return item;
}

QString fileNamedBy(QByteArrayView line, const platform::ProgramFolder &programFolder)
{
    const QString named = pathAsRegistered(line, programFolder);
    return named.isEmpty() ? named : normalised(named);
}

QString pathAsRegistered(QByteArrayView line, const platform::ProgramFolder &programFolder)
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
    return QDir::cleanPath(absolute ? name : programFolder.root() + u'/' + name);
}

QList<QByteArray> settle(QList<BatchItem> &items, const catalogue::LineTable &table,
                         const platform::ProgramFolder &programFolder)
{
    return settleKnown(items, table, programFolder, KnownFiles({})).added;
}

catalogue::CatalogueFile::Chosen settleKnown(QList<BatchItem> &items, const catalogue::LineTable &table,
                                             const platform::ProgramFolder &programFolder,
                                             const KnownFiles &known)
{
    catalogue::CatalogueFile::Chosen chosen;
    // The lines known by their games, found again in the table as it is now.
    auto lineIndex = [&table](const QByteArray &line) {
        for (int k = 0; k < table.size(); ++k) {
            if (table.line(k) == line)
                return k;
        }
        return -1;
    };
    QHash<QByteArray, QString> batch; // image SHA-1 -> the file of the batch that goes in
    QHash<QString, QString> dumps;    // a database game -> the file of its dump that goes in
    QSet<QByteArray> relinked;
    // openMSX's database lists several dumps of one game: one line for the game.
    auto gameKey = [](const BatchItem &item) {
        return item.known && item.known->listName == QLatin1String("openMSX") && !item.known->software.isEmpty()
                   ? item.known->software
                   : QString();
    };
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
        const QString file = normalised(item.copy.isEmpty() ? item.path : item.copy);
        if (named.contains(file)) {
            item.outcome = BatchItem::Outcome::AlreadyThere;
            continue;
        }
        if (!item.sha1.isEmpty()) {
            // The same game from another folder: registered already.
            if (const auto it = known.present().constFind(item.sha1);
                it != known.present().cend() && lineIndex(it->line) >= 0) {
                item.outcome = BatchItem::Outcome::AlreadyThere;
                item.detail = it->file;
                continue;
            }
            if (const auto it = batch.constFind(item.sha1); it != batch.cend()) {
                item.outcome = BatchItem::Outcome::AlreadyThere;
                item.detail = *it;
                continue;
            }
            // A game whose file has moved: its line is made to name the file where it now is.
            if (const auto it = known.gone().constFind(item.sha1);
                it != known.gone().cend() && !relinked.contains(item.sha1)) {
                if (const int k = lineIndex(it->line); k >= 0) {
                    chosen.replaced.append({k, it->line, withLaunchArgsOf(it->line, item.line)});
                    relinked.insert(item.sha1);
                    named.insert(file);
                    batch.insert(item.sha1, item.path);
                    item.outcome = BatchItem::Outcome::Relinked;
                    item.detail = it->file;
                    continue;
                }
            }
        }
        const QString game = gameKey(item);
        if (!game.isEmpty() && dumps.contains(game)) {
            item.outcome = BatchItem::Outcome::OtherDump;
            item.detail = dumps.value(game);
            continue;
        }
        if (room == 0) {
            item.outcome = BatchItem::Outcome::DoesNotFit;
            continue;
        }
        named.insert(file);
        if (!item.sha1.isEmpty())
            batch.insert(item.sha1, item.path);
        if (!game.isEmpty())
            dumps.insert(game, item.path);
        --room;
        lines << item.line;
    }
    chosen.added = lines;
    // The later parts of a game whose first part did not fit did not fit either.
    QSet<QString> leftOut;
    for (const BatchItem &item : items) {
        if (item.outcome == BatchItem::Outcome::DoesNotFit)
            leftOut.insert(item.path);
    }
    for (BatchItem &item : items) {
        if (item.outcome == BatchItem::Outcome::PartOfGame && leftOut.contains(item.detail))
            item.outcome = BatchItem::Outcome::DoesNotFit;
    }
    return chosen;
}

std::optional<QList<GameFile>> readGameFiles(const QStringList &files,
                                             const std::function<bool(int)> &progress)
{
    QList<GameFile> read(files.size());
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    auto work = [&] {
        for (int i = next++; i < files.size() && !stop; i = next++) {
            read[i] = readGameFile(files[i]);
            const int n = ++done;
            if (progress && !progress(n))
                stop = true;
        }
    };
    if (progress && !progress(0))
        return std::nullopt;
    const int threads = qBound(1, QThread::idealThreadCount(), int(qMax<qsizetype>(1, files.size())));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread &t : pool)
        t.join();
    if (stop)
        return std::nullopt;
    return read;
}

QList<BatchItem> identify(const QStringList &files, const SoftwareLists &lists,
                          const platform::ProgramFolder &programFolder,
                          const std::function<bool(int)> &progress, const Copying &copying)
{
    const auto read = readGameFiles(files, progress);
    return read ? identifyRead(*read, lists, programFolder, copying) : QList<BatchItem>();
}

const KnownImage *knownFile(const GameFile &file, const SoftwareLists &lists)
{
    if (file.zipParts.size() < 2) {
        if (const KnownImage *known = lists.find(file.sha1))
            return known;
        // The chips of a cartridge joined in one file (not in a zip: its chips are its files).
        return catalogue::isZipFileName(file.path) ? nullptr : lists.findChips(file.path, file.imageSize);
    }
    if (const KnownImage *chips = lists.findChipSet(file.zipParts))
        return chips;
    const KnownImage *first = nullptr;
    QSet<int> parts;
    for (const QByteArray &sha1 : file.zipParts) {
        const KnownImage *part = lists.find(sha1);
        if (!part || (first && (part->listName != first->listName || part->software != first->software)))
            return nullptr;
        if (!first || part->part < first->part)
            first = part;
        parts.insert(part->part);
    }
    return first && first->part == 0 && parts.size() == file.zipParts.size() ? first : nullptr;
}

QList<BatchItem> identifyRead(const QList<GameFile> &read, const SoftwareLists &lists,
                              const platform::ProgramFolder &programFolder, const Copying &copying)
{
    // The lines are made in the files' order, one at a time (copies into the program folder
    // must not race for a name).
    QList<BatchItem> items;
    for (const GameFile &file : read) {
        const bool ok = file.problem == GameFile::Problem::None;
        const KnownImage *known = ok ? knownFile(file, lists) : nullptr;
        if (ok && file.zipParts.size() > 1 && !known) {
            // Several files that are not one game's parts.
            GameFile refused = file;
            refused.problem = GameFile::Problem::ZipNotSingle;
            items << composeItem(refused, nullptr, programFolder, copying);
            continue;
        }
        items << composeItem(file, known, programFolder, copying, ok ? lists.otherSystem(file.sha1) : QString());
    }

    // A game of several disks or tape sides is one line, made for its first part; its other
    // parts go with it, and are not registered alone.
    QHash<QString, QString> firstParts; // list and software -> the first part's file
    auto gameOf = [](const KnownImage &k) { return k.listName + u'/' + k.software; };
    auto identified = [](const BatchItem &item) { return item.outcome == BatchItem::Outcome::Identified; };
    // An alt set that shares its first disk with its parent: the first disk, identified as
    // the parent's, is the alt's when the alt's later disks are given and the parent's are not.
    QSet<QString> withLaterParts, withFirstPart;
    for (const BatchItem &item : items) {
        if (identified(item))
            (item.known->part > 0 ? withLaterParts : withFirstPart).insert(gameOf(*item.known));
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (!identified(items[i]) || items[i].known->part == 0 || withFirstPart.contains(gameOf(*items[i].known))
            || items[i].known->firstSha1.isEmpty())
            continue;
        for (qsizetype j = 0; j < items.size(); ++j) {
            if (!identified(items[j]) || items[j].known->part != 0 || read[j].sha1 != items[i].known->firstSha1
                || withLaterParts.contains(gameOf(*items[j].known)))
                continue;
            KnownImage alt = *items[i].known;
            alt.part = 0;
            withFirstPart.insert(gameOf(alt));
            items[j] = composeItem(read[j], &alt, programFolder, copying);
            break;
        }
    }
    // An alt set whose first disk is its parent's, with the parent given too: the alt's line
    // is carried by its first later disk given, and names a copy of the shared disk beside
    // copies of its own (planned here, made when the line is written).
    auto sharedFirst = [&](const KnownImage &k) -> qsizetype {
        for (qsizetype j = 0; j < items.size(); ++j) {
            if (identified(items[j]) && items[j].known->part == 0 && read[j].sha1 == k.firstSha1
                && read[j].zipParts.isEmpty())
                return j;
        }
        return -1;
    };
    QHash<QString, qsizetype> carriers; // the alt's game -> its later disk that carries the line
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (!identified(items[i]) || items[i].known->part == 0 || withFirstPart.contains(gameOf(*items[i].known))
            || items[i].known->firstSha1.isEmpty() || !read[i].zipParts.isEmpty() || sharedFirst(*items[i].known) < 0)
            continue;
        const auto it = carriers.constFind(gameOf(*items[i].known));
        if (it == carriers.cend() || items[i].known->part < items[*it].known->part)
            carriers.insert(gameOf(*items[i].known), i);
    }
    const QString copies = QDir::cleanPath(programFolder.copiedGames());
    for (auto it = carriers.cbegin(); it != carriers.cend(); ++it) {
        const qsizetype i = *it, first = sharedFirst(*items[i].known);
        const KnownImage alt = [&] { KnownImage k = *items[i].known; k.part = 0; return k; }();
        auto setName = [&alt, &read](qsizetype file, int number) {
            const QString suffix = QFileInfo(read[file].path).suffix().toLower();
            return alt.software + QStringLiteral("-disk") + QString::number(number)
                   + (suffix.isEmpty() ? QString() : u'.' + suffix);
        };
        QList<QPair<int, QString>> setCopies{{int(first), setName(first, 1)}};
        QList<std::pair<int, qsizetype>> later; // part, item
        for (qsizetype k = 0; k < items.size(); ++k) {
            if (identified(items[k]) && gameOf(*items[k].known) == it.key() && items[k].known->part > 0
                && read[k].zipParts.isEmpty())
                later.append({items[k].known->part, k});
        }
        std::sort(later.begin(), later.end());
        for (const auto &[part, k] : later)
            setCopies.append({int(k), setName(k, part + 1)});
        // The line as for the copy of the shared disk standing in games/.
        GameFile standIn = read[first];
        standIn.path = copies + u'/' + setCopies.first().second;
        BatchItem carrier = composeItem(standIn, &alt, programFolder, copying);
        if (carrier.outcome != BatchItem::Outcome::Identified)
            continue;
        carrier.path = read[i].path;
        carrier.sha1 = read[i].sha1; // the alt's own disk: the shared one is the parent's line's
        carrier.copy = standIn.path;
        carrier.newCopy = true;
        carrier.setCopies = setCopies;
        items[i] = carrier;
        for (const auto &[part, k] : later) {
            if (k != i)
                items[k].newCopy = false; // copied with the set
        }
    }
    for (const BatchItem &item : items) {
        if (item.outcome == BatchItem::Outcome::Identified && item.known->part == 0)
            firstParts.insert(gameOf(*item.known), item.path);
    }
    for (BatchItem &item : items) {
        if (item.outcome != BatchItem::Outcome::Identified || item.known->part == 0)
            continue;
        item.line.clear();
        if (const auto first = firstParts.constFind(gameOf(*item.known)); first != firstParts.cend()) {
            item.outcome = BatchItem::Outcome::PartOfGame;
            item.detail = *first;
        } else {
            item.outcome = BatchItem::Outcome::NotAGame;
            item.problem = BatchItem::Problem::FirstPartMissing;
        }
    }

    // Disks and tapes in no list whose names differ only in their number are one game too,
    // registered by the first, when the numbers run from 1 without a gap.
    QHash<QString, QList<std::pair<int, qsizetype>>> sets; // name without number -> (number, item)
    for (qsizetype i = 0; i < items.size(); ++i) {
        const auto media = catalogue::mediaOfFileName(items[i].path);
        if (items[i].outcome != BatchItem::Outcome::NotIdentified
            || (media != catalogue::Media::Disk && media != catalogue::Media::Tape))
            continue;
        if (const auto part = setPartOf(items[i].path))
            sets[part->key].append({part->number, i});
    }
    for (auto &members : sets) {
        if (members.size() < 2)
            continue;
        std::sort(members.begin(), members.end());
        bool runs = true;
        for (qsizetype n = 0; n < members.size(); ++n)
            runs = runs && members[n].first == n + 1;
        if (!runs)
            continue;
        BatchItem &first = items[members.first().second];
        const catalogue::Media media = *catalogue::mediaOfFileName(first.path);
        // Titled by the set's name, not its first part's.
        const qsizetype comma = first.line.indexOf(',');
        if (comma > 0) {
            if (const auto title = platform::encodeCp932(setTitle(platform::decodeCp932(first.line.left(comma)))))
                first.line = *title + first.line.mid(comma);
        }
        first.line = withMediaText(first.line, catalogue::kindOf(media).mediaText.toString()
                                                   + QString::number(members.size())
                                                   + catalogue::kindOf(media).setCounter.toString());
        for (qsizetype n = 1; n < members.size(); ++n) {
            BatchItem &later = items[members[n].second];
            later.outcome = BatchItem::Outcome::PartOfGame;
            later.detail = first.path;
            later.line.clear();
        }
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
        case BatchItem::Outcome::PartOfGame: ++c.partOfGame; break;
        case BatchItem::Outcome::NotAGame: ++c.notAGame; break;
        case BatchItem::Outcome::Relinked: ++c.relinked; break;
        case BatchItem::Outcome::OtherDump: ++c.otherDump; break;
        case BatchItem::Outcome::NotAdded: ++c.notAdded; break;
        }
        const bool registered = item.outcome == BatchItem::Outcome::Identified
                                || item.outcome == BatchItem::Outcome::NotIdentified;
        c.copied += registered && !item.copy.isEmpty();
        c.copiedForTheName += registered && !item.copy.isEmpty() && item.copyForTheName;
    }
    return c;
}

SoftwareLists loadSoftwareLists(const platform::ProgramFolder &programFolder,
                                const std::atomic<bool> *cancel)
{
    SoftwareLists lists;
    const QStringList folders = programFolder.softwareListFolders();
    const QString users = SoftwareLists::usersOpenMsxDatabase(), installed = SoftwareLists::installedOpenMsxDatabase();
    // The lists as read last time, kept in the user's cache while no list file has changed
    // (its path, size and time): a run starts identifying at once.
    QByteArray signature = "tarumin software lists index\n";
    auto sign = [&signature](const QString &path) {
        const QFileInfo info(path);
        signature += path.toUtf8() + '\t' + QByteArray::number(info.size()) + '\t'
                     + QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + '\n';
    };
    for (const QString &folder : folders) {
        signature += "folder " + folder.toUtf8() + '\n';
        for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::System, QDir::Name)) {
            if (name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
                sign(QDir(folder).filePath(name));
        }
    }
    for (const QString &db : {users, installed}) {
        if (!db.isEmpty())
            sign(db);
    }
    signature += '\0';
    const QString cache = platform::perUserCacheFolder(QStringLiteral("tarumin")) + QStringLiteral("/lists-index");
    if (const std::optional<QByteArray> data = platform::readOwnCache(cache, 64 * 1024 * 1024)) {
        if (data->startsWith(signature) && lists.restore(data->mid(signature.size())))
            return lists;
        lists = SoftwareLists();
    }
    lists.setCancelFlag(cancel);
    for (int source = 0; source < folders.size(); ++source)
        lists.loadFolder(folders[source], source);
    // The user's own database first: openMSX takes it over the system's.
    lists.loadOpenMsxDatabase(users);
    lists.loadOpenMsxDatabase(installed);
    lists.setCancelFlag(nullptr);
    if (!lists.cancelled() && !(cancel && cancel->load())) {
        // A cache that cannot be written only costs the next run the reading.
        platform::writeOwnCache(cache, signature + lists.serialised());
    }
    return lists;
}

} // namespace onboarding
