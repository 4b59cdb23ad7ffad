#include "messages.h"

#include "platform/system/file_names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace messages {

// The program's words are written in Japanese; other languages come from translations/.
struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(Messages)
};

using catalogue::Error;

QString languageAtNextStart()
{
    return QStringLiteral("言語は次の起動から変わります。\nThe language changes the next time Tarumin starts.");
}

QString systemReason(const platform::SystemError &error)
{
    using Kind = platform::SystemError::Kind;
    switch (error.kind) {
    case Kind::NoSpace: return Tr::tr("ディスクの空きがありません");
    case Kind::QuotaExceeded: return Tr::tr("ディスクの使用量が上限に達しています");
    case Kind::DiskFailure: return Tr::tr("ディスクの読み書きに失敗しました");
    case Kind::AccessDenied: return Tr::tr("アクセスが許可されていません");
    case Kind::ReadOnlyMedium: return Tr::tr("ディスクが読み取り専用です");
    case Kind::NotFound: return Tr::tr("ファイルまたはフォルダーが見つかりません");
    case Kind::NotAFolder: return Tr::tr("フォルダーの場所にファイルがあります");
    case Kind::IsAFolder: return Tr::tr("ファイルの場所にフォルダーがあります");
    case Kind::NameTooLong: return Tr::tr("名前が長すぎます");
    case Kind::TooLarge: return Tr::tr("ファイルの大きさの上限を超えます");
    case Kind::Busy: return Tr::tr("ほかのプログラムが使用中です");
    case Kind::OutOfResources: return Tr::tr("メモリーか、同時に開けるファイルの数が足りません");
    case Kind::Link: return Tr::tr("リンクになっています（リンクの先には書き込みません）");
    case Kind::Other: break;
    }
    if (error.text.isEmpty())
        return Tr::tr("原因のわからないエラーです");
    return Tr::tr("システムのエラー: %1").arg(error.text);
}

QString reason(const Error &error)
{
    const QString path = QDir::toNativeSeparators(error.path);
    switch (error.kind) {
    case Error::Kind::Unreadable: return systemReason(error.system);
    case Error::Kind::FolderInPlace: return Tr::tr("ファイルの場所にフォルダーがあります");
    case Error::Kind::NotAFile: return Tr::tr("普通のファイルではありません");
    case Error::Kind::TooLarge:
        return Tr::tr("ファイルが大きすぎます（%1 MB まで）")
            .arg(catalogue::LineTable::MaxFileBytes / (1024 * 1024));
    case Error::Kind::TooLong: return Tr::tr("%1 行あります").arg(error.lineCount);
    case Error::Kind::CannotCreateFolder:
        return Tr::tr("フォルダー %1 を作れません: %2").arg(path, systemReason(error.system));
    case Error::Kind::ReadOnlyFile: return Tr::tr("ファイルが書き込み禁止になっています");
    case Error::Kind::ReadOnlyFolder: return Tr::tr("フォルダー %1 に書き込めません").arg(path);
    case Error::Kind::WriteFailed:
        switch (error.step) {
        case Error::Step::Create:
            return Tr::tr("新しいファイル %1 を作れません: %2").arg(path, systemReason(error.system));
        case Error::Step::Write:
            return Tr::tr("ディスクに書き込めません: %1").arg(systemReason(error.system));
        case Error::Step::Flush:
            return Tr::tr("ディスクへ書き出せません: %1").arg(systemReason(error.system));
        case Error::Step::Replace:
            return Tr::tr("古いファイルを新しいファイルに置き換えられません: %1").arg(systemReason(error.system));
        }
        break;
    case Error::Kind::Busy: return Tr::tr("ほかのプログラムが変更中です");
    case Error::Kind::LockNotAFile:
        return Tr::tr("%1 が普通のファイルではありません").arg(path);
    case Error::Kind::Full: return Tr::tr("1001 件で一杯です");
    case Error::Kind::LineChanged: return Tr::tr("ほかのプログラムが変更しました");
    case Error::Kind::Utf8: return Tr::tr("UTF-8 で保存されています");
    case Error::Kind::Utf16: return Tr::tr("UTF-16 で保存されています");
    case Error::Kind::BeingWritten: return Tr::tr("ほかのプログラムが書き込み中です");
    case Error::Kind::HeldOpen: return Tr::tr("ほかのプログラムが %1 を開いています").arg(QFileInfo(error.path).fileName());
    }
    return {};
}

QString loadProblem(const catalogue::LoadResult &result)
{
    if (!result.error)
        return {};
    const Error &error = *result.error;
    if (error.kind == Error::Kind::Utf8 || error.kind == Error::Kind::Utf16)
        return Tr::tr("リストファイル %1 は %2 で保存されています。"
                              "テキストエディターなどで Shift-JIS（CP932）として保存し直してください。"
                              "それまでは登録・編集・削除はできません（ファイルは変更しません）。")
            .arg(QDir::toNativeSeparators(error.path),
                 error.kind == Error::Kind::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("UTF-16"));
    if (error.kind == Error::Kind::TooLong)
        return Tr::tr("リストファイルに %1 行あります。表示できるのは 1001 行までです。"
                              "ファイルを守るため、登録・編集・削除はできません。")
            .arg(error.lineCount);
    return Tr::tr("リストファイル %1 を読み込めませんでした（%2）。変更はできません。")
        .arg(QDir::toNativeSeparators(error.path), reason(error));
}

QString changeFailed(Change change, const Error &error)
{
    switch (error.kind) {
    case Error::Kind::TooLong:
        return Tr::tr("リストファイルが 1001 行を超えているため、変更できません。");
    case Error::Kind::Unreadable:
    case Error::Kind::FolderInPlace:
    case Error::Kind::NotAFile:
    case Error::Kind::TooLarge:
        return Tr::tr("リストファイルを読み込めなかったため、変更できません（%1）。")
            .arg(reason(error));
    case Error::Kind::Busy:
        return Tr::tr("ほかのプログラムがリストファイルを変更しているため、変更できませんでした。"
                              "しばらくしてから、もう一度やり直してください。");
    case Error::Kind::LockNotAFile:
        return Tr::tr("リストファイルのロック %1 が普通のファイルではない（フォルダー、パイプ、"
                              "リンクなど）ため、変更できません。%1 を削除してから、もう一度やり直してください。")
            .arg(QDir::toNativeSeparators(error.path));
    case Error::Kind::Full:
        return Tr::tr("リストは 1001 件で一杯です。これ以上登録できません。");
    case Error::Kind::Utf8:
    case Error::Kind::Utf16:
        return Tr::tr("リストファイルが %1 で保存されているため、変更できません。"
                              "Shift-JIS（CP932）で保存し直してから、もう一度やり直してください。")
            .arg(error.kind == Error::Kind::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("UTF-16"));
    case Error::Kind::HeldOpen:
        return Tr::tr("ほかのプログラム（エディターや表計算ソフトなど）が %1 を開いているため、保存できませんでした。"
                              "そのプログラムで %1 を閉じてから、もう一度やり直してください。リストファイルは変更していません。")
            .arg(QFileInfo(error.path).fileName());
    case Error::Kind::BeingWritten:
        return Tr::tr("ほかのプログラムがリストファイルを書き込んでいる途中のようです（途中までしか書かれていません）。"
                              "変更はしていません。しばらくしてから、もう一度やり直してください。");
    case Error::Kind::LineChanged:
        if (change == Change::Delete || change == Change::Import)
            return Tr::tr("リストはほかのプログラムによって変更されていました。"
                                  "削除はしていません。今のリストを表示しますので、ゲームを選び直してください。");
        return Tr::tr("編集中のゲームは、ほかのプログラムによって変更されたか、削除されていました。"
                              "保存はしていません。メインの画面に今のリストを表示しますので、ゲームを選び直してください。");
    default:
        break;
    }
    if (change == Change::Delete)
        return Tr::tr("リストファイルを保存できなかったので、削除しませんでした（%1）。")
            .arg(reason(error));
    if (change == Change::Import)
        return Tr::tr("リストファイルを保存できなかったので、何も登録していません（%1）。")
            .arg(reason(error));
    return Tr::tr("リストファイルを保存できませんでした（%1）。入力した内容はそのまま残っています。")
        .arg(reason(error));
}

QString launchFailed(const QString &program, const platform::LaunchError &error)
{
    using Kind = platform::LaunchError::Kind;
    QString why;
    switch (error.kind) {
    case Kind::Missing: why = Tr::tr("ファイルがありません"); break;
    case Kind::IsAFolder: why = Tr::tr("フォルダーです"); break;
    case Kind::NotExecutable: why = Tr::tr("実行を許可されていません"); break;
    case Kind::StartFailed: why = systemReason(error.system); break;
    }
    return Tr::tr("エミュレーター %1 を起動できませんでした（%2）。")
        .arg(QDir::toNativeSeparators(program), why);
}

namespace {

// What the emulator wrote that a user can act on: the adapter's own refusal when it gave one;
// otherwise every line but the chatter of sound and video libraries (ALSA, SDL, X).
QString emulatorWords(const QString &tail)
{
    const QStringList lines = tail.split(u'\n', Qt::SkipEmptyParts);
    QStringList own;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("mess.exe (openMSX):")) || line.startsWith(QLatin1String("tarumin adapter:")))
            own << line;
    }
    if (!own.isEmpty())
        return own.join(u'\n');
    QStringList kept;
    for (const QString &line : lines) {
        const QString l = line.trimmed();
        bool noise = false;
        for (const char *library : {"ALSA", "SDL", "Xlib", "libEGL", "MESA", "libGL", "pulse", "PulseAudio", "jack",
                                    "Jack", "Cannot connect to server", "Couldn't open audio", "Warning: Could not"})
            noise = noise || l.startsWith(QLatin1String(library));
        if (!noise)
            kept << line;
    }
    return kept.join(u'\n');
}

} // namespace

QString runningSnapshotFailed(const QString &why)
{
    return Tr::tr("いまの画面をスナップショットにできませんでした。")
           + (why.trimmed().isEmpty() ? Tr::tr("openMSX が答えません。")
                                      : QStringLiteral("openMSX: ") + why.trimmed());
}

QString runningSnapshotNoName()
{
    return Tr::tr("このゲームの行には画面写真の名前がないため、いまの画面を保存できません。");
}

QString partNotChanged(const QString &part, const QString &why)
{
    return Tr::tr("%1 に入れかえられませんでした。").arg(part)
           + (why.trimmed().isEmpty() ? Tr::tr("openMSX が答えません。")
                                      : QStringLiteral("openMSX: ") + why.trimmed());
}

QString emulatorFailed(const platform::EarlyExit &exit)
{
    QString text = exit.crashed
        ? Tr::tr("エミュレーターが起動してすぐに異常終了しました（シグナル %1）。").arg(exit.status)
        : Tr::tr("エミュレーターが起動してすぐに終了しました（終了コード %1）。").arg(exit.status);
    if (const QString words = emulatorWords(exit.errorTail); !words.isEmpty())
        text += Tr::tr("\n\nエミュレーターのメッセージ:\n") + words;
    return text;
}

QString programFolderProblem(const platform::ProgramFolderChoice &choice)
{
    using Kind = platform::ProgramFolderChoice::Kind;
    switch (choice.kind) {
    case Kind::Portable:
    case Kind::PerUser:
        return {};
    case Kind::Unnameable:
        return Tr::tr("プログラムのあるフォルダーの名前を文字として読み取れません"
                              "（Windows で作った Shift-JIS の名前かもしれません）。"
                              "フォルダーの名前を変えてから起動してください。何も変更していません。");
    case Kind::CannotCreate:
        return Tr::tr("データを置くフォルダー %1 を作れませんでした（%2）。")
            .arg(QDir::toNativeSeparators(choice.folder), systemReason(choice.system));
    }
    return {};
}

QString fileChanged()
{
    return Tr::tr("ファイルが変わりました（識別した後に中身が変わっています。書き込み中かもしれません。"
                          "コピーも登録もしていません）");
}

QString rootRunRefused(const platform::SystemError &system)
{
    return Tr::tr("管理者（root）として起動されましたが、プログラムのフォルダーの持ち主として動けませんでした（%1）。"
                          "持ち主のファイルを守るため、何もせずに終了します。sudo を付けずに起動してください。")
        .arg(systemReason(system));
}

QString listSkipped(const onboarding::ListProblem &problem)
{
    using Kind = onboarding::ListProblem::Kind;
    QString why;
    switch (problem.kind) {
    case Kind::NotAFile: why = Tr::tr("普通のファイルではありません"); break;
    case Kind::TooLarge:
        why = Tr::tr("大きすぎます（%1 MB まで）").arg(onboarding::SoftwareLists::MaxListBytes / (1024 * 1024));
        break;
    case Kind::Unreadable: why = Tr::tr("読み込めません"); break;
    case Kind::TooDeep:
        why = Tr::tr("入れ子が深すぎます（%1 段まで）").arg(onboarding::SoftwareLists::MaxDepth);
        break;
    case Kind::NotUnderstood: why = Tr::tr("openMSX のソフトウェアデータベースの形式ではありません"); break;
    }
    return Tr::tr("ソフトウェアリスト %1 は読まずに飛ばしました（%2）。")
        .arg(QDir::toNativeSeparators(problem.path), why);
}

QString batchRegistered(const QList<onboarding::BatchItem> &items,
                        const QList<onboarding::ListProblem> &listProblems)
{
    const onboarding::BatchCounts c = onboarding::countOf(items);
    QString text = Tr::tr("%1 本のゲームを登録しました（リストで識別 %2 本、識別できず %3 本）。")
                       .arg(c.identified + c.notIdentified).arg(c.identified).arg(c.notIdentified);
    if (c.alreadyThere)
        text += Tr::tr("\n登録済みのため飛ばしたもの: %1 本").arg(c.alreadyThere);
    if (c.doesNotFit)
        text += Tr::tr("\n1001 件を超えるため登録しなかったもの: %1 本").arg(c.doesNotFit);
    if (c.copiedForTheName)
        text += Tr::tr("\nリストファイルに書けない名前のため games フォルダーにコピーして登録したもの: %1 本").arg(c.copiedForTheName);
    if (c.copied > c.copiedForTheName)
        text += Tr::tr("\ngames フォルダーにコピーして登録したもの: %1 本").arg(c.copied - c.copiedForTheName);
    if (c.partOfGame)
        text += Tr::tr("\n登録したゲームの２枚目以降のディスクやテープ: %1 本").arg(c.partOfGame);
    if (c.otherDump)
        text += Tr::tr("\n同じゲームの別のダンプのため飛ばしたもの: %1 本").arg(c.otherDump);
    if (c.relinked)
        text += Tr::tr("\nファイルの場所を更新したもの（移されたゲーム）: %1 本").arg(c.relinked);
    if (c.notAGame)
        text += Tr::tr("\n登録できなかったもの: %1 本").arg(c.notAGame);
    QStringList replaced;
    for (const auto &item : items) {
        for (const QString &ch : item.replaced) {
            if (!replaced.contains(ch))
                replaced << ch;
        }
    }
    if (!replaced.isEmpty())
        text += Tr::tr("\nリストファイルに書けない文字は「？」にしました: %1").arg(replaced.join(u' '));
    for (const auto &problem : listProblems)
        text += u'\n' + listSkipped(problem);
    return text;
}

QString batchDetails(const QList<onboarding::BatchItem> &items)
{
    using Outcome = onboarding::BatchItem::Outcome;
    QStringList lines;
    for (const auto &item : items) {
        const QString path = QDir::toNativeSeparators(platform::readableName(item.path));
        if (item.outcome == Outcome::NotAGame)
            lines << Tr::tr("登録できません: %1（%2）").arg(path, notAGame(item));
        else if (item.outcome == Outcome::DoesNotFit)
            lines << Tr::tr("1001 件を超えます: %1").arg(path);
        else if (item.outcome == Outcome::OtherDump)
            lines << Tr::tr("別のダンプ: %1（%2 で登録）").arg(path, QDir::toNativeSeparators(item.detail));
        else if (item.outcome == Outcome::Relinked)
            lines << Tr::tr("場所を更新しました: %1（もとは %2）").arg(path, QDir::toNativeSeparators(item.detail));
        else if (item.outcome == Outcome::AlreadyThere && !item.detail.isEmpty())
            lines << Tr::tr("登録済みのゲームと同じです: %1（%2）").arg(path, QDir::toNativeSeparators(item.detail));
        if (!item.replaced.isEmpty())
            lines << Tr::tr("「？」にした文字 %1: %2").arg(item.replaced.join(u' '), path);
    }
    return lines.join(u'\n');
}

QString fieldName(catalogue::Field field)
{
    using catalogue::Field;
    switch (field) {
    case Field::GameName: return Tr::tr("ゲーム名");
    case Field::Media: return Tr::tr("メディア");
    case Field::ReleaseDate: return Tr::tr("発売年");
    case Field::Maker: return Tr::tr("メーカー");
    case Field::Price: return Tr::tr("価格");
    case Field::Description: return Tr::tr("ゲーム解説文");
    case Field::GameFileName: return Tr::tr("ファイル名");
    }
    return {};
}

QString entryProblem(const catalogue::EntryProblem &problem)
{
    const QString name = fieldName(problem.field);
    if (problem.kind == catalogue::EntryProblem::Kind::NoName)
        return Tr::tr("ゲーム名を入力してください。");
    if (problem.kind == catalogue::EntryProblem::Kind::Unwritable)
        return Tr::tr("「%1」にリストファイルに書けない文字「%2」があります。")
            .arg(name, problem.character);
    if (problem.field == catalogue::Field::GameFileName)
        return Tr::tr("「%1」のファイル名の最初の「.」より前に半角のカンマ（,）は使えません。")
            .arg(name);
    return Tr::tr("「%1」に半角のカンマ（,）は使えません。").arg(name);
}

QString notAGame(const onboarding::BatchItem &item)
{
    using Problem = onboarding::BatchItem::Problem;
    switch (item.problem) {
    case Problem::None: break;
    case Problem::File:
        switch (item.fileProblem) {
        case onboarding::GameFile::Problem::None: break;
        case onboarding::GameFile::Problem::Unreadable: return Tr::tr("読み込めません");
        case onboarding::GameFile::Problem::NotPlain: return Tr::tr("普通のファイルではありません");
        case onboarding::GameFile::Problem::TooLarge: return Tr::tr("大きすぎます");
        case onboarding::GameFile::Problem::ZipNotSingle:
            return Tr::tr("ZIP の中のファイルが１つではありません");
        case onboarding::GameFile::Problem::ZipTooManyEntries:
            return Tr::tr("ZIP の中のファイルが多すぎます（%1 個まで）").arg(onboarding::MaxZipEntries);
        case onboarding::GameFile::Problem::NoZipReader:
            return Tr::tr("ZIP を読むモジュール（tarumin-zip）がありません");
        }
        break;
    case Problem::UnknownMedia:
        return Tr::tr("カートリッジ・テープ・ディスクのどれかわかりません（拡張子 .rom .mx1 .mx2 .cas .dsk）");
    case Problem::CommaInName: return Tr::tr("ファイル名の最初の「.」より前にカンマがあります");
    case Problem::UnwritableName:
        return Tr::tr("ファイル名にリストファイルに書けない文字「%1」があります").arg(item.detail);
    case Problem::OtherSystem:
        return Tr::tr("MSX のゲームではありません（%1 のソフト）").arg(item.detail);
    case Problem::DataRom:
        return Tr::tr("ゲームではなく、「%1」のカートリッジの中の、%2 のデータの ROM です")
            .arg(item.known ? item.known->description : QString(), item.known ? item.known->dataArea : QString());
    case Problem::Extension:
        return Tr::tr("ゲームではなく、機械を拡張するカートリッジです（%1）")
            .arg(item.known ? item.known->description : QString());
    case Problem::FirstPartMissing:
        return Tr::tr("「%1」の %2 枚目（本目）です。1 枚目（本目）といっしょに登録してください")
            .arg(item.known ? item.known->description : QString())
            .arg(item.known ? item.known->part + 1 : 0);
    case Problem::Skipped:
        switch (item.skipped) {
        case onboarding::SkippedFile::Reason::NotAGameName:
            return Tr::tr("ゲームのファイルの拡張子（.rom .mx1 .mx2 .cas .dsk .zip）ではありません");
        case onboarding::SkippedFile::Reason::NotPlain: return Tr::tr("普通のファイルではありません");
        case onboarding::SkippedFile::Reason::BrokenLink: return Tr::tr("リンク先がありません");
        case onboarding::SkippedFile::Reason::UnreadableFolder: return Tr::tr("フォルダーを読めません");
        }
        return {};
    case Problem::CannotCopy:
        return Tr::tr("games フォルダーにコピーしようとしましたが、できませんでした%1")
            .arg(item.system ? Tr::tr("（%1）").arg(systemReason(*item.system)) : QString());
    case Problem::Changed: return fileChanged();
    }
    return {};
}

namespace {

QString copiedTo(const onboarding::BatchItem &item)
{
    return item.copy.isEmpty() ? QString()
                               : Tr::tr("（コピー: %1）").arg(QDir::toNativeSeparators(item.copy));
}

} // namespace

QString importedItem(const onboarding::BatchItem &item, bool written)
{
    using Outcome = onboarding::BatchItem::Outcome;
    const QString path = QDir::toNativeSeparators(platform::readableName(item.path));
    switch (item.outcome) {
    case Outcome::Identified:
        return Tr::tr("識別しました     %1 — %2（%3）%4")
            .arg(path, item.known->description, item.known->listName, copiedTo(item));
    case Outcome::NotIdentified: return Tr::tr("識別できません   %1%2").arg(path, copiedTo(item));
    case Outcome::AlreadyThere:
        if (!item.detail.isEmpty())
            return Tr::tr("登録済みです     %1（%2 と同じゲーム）").arg(path, QDir::toNativeSeparators(item.detail));
        return Tr::tr("登録済みです     %1").arg(path);
    case Outcome::NotAdded: return Tr::tr("登録しません     %1（--relink）").arg(path);
    case Outcome::OtherDump:
        return Tr::tr("別のダンプです   %1（%2 で登録します）").arg(path, QDir::toNativeSeparators(item.detail));
    case Outcome::Relinked:
        return (written ? Tr::tr("場所を更新しました %1（もとは %2）")
                        : Tr::tr("場所を更新します %1（もとは %2、--write で更新します）"))
            .arg(path, QDir::toNativeSeparators(item.detail));
    case Outcome::DoesNotFit: return Tr::tr("1001 件に入りません %1").arg(path);
    case Outcome::PartOfGame:
        if (!item.known) // a set told by its files' names
            return Tr::tr("組の一部です     %1。%2 の行で登録します").arg(path, QDir::toNativeSeparators(item.detail));
        return Tr::tr("組の一部です     %1 — %2 の %3 枚目（本目）。%4 の行で登録します")
            .arg(path, item.known->description).arg(item.known->part + 1)
            .arg(QDir::toNativeSeparators(item.detail));
    case Outcome::NotAGame: return Tr::tr("登録できません   %1: %2").arg(path, notAGame(item));
    }
    return {};
}

QString replacedCharacters(const QStringList &characters)
{
    if (characters.isEmpty())
        return {};
    return Tr::tr("    リストファイルに書けない文字を「？」にしました: %1").arg(characters.join(u' '));
}

QString importedRelinks(int count, bool written)
{
    return written ? Tr::tr("場所を更新した行: %1").arg(count)
                   : Tr::tr("場所を更新する行: %1（--write で更新します。まだ何も変えていません）").arg(count);
}

QString importedLines(qsizetype count, bool written)
{
    return written ? Tr::tr("追加した行（%1）:").arg(count)
                   : Tr::tr("追加する行（%1、--write で追加します）:").arg(count);
}

QString importedCopies(int count, bool written)
{
    return written ? Tr::tr("そのうち games フォルダーにコピーしたもの: %1").arg(count)
                   : Tr::tr("そのうち games フォルダーにコピーするもの: %1").arg(count);
}

QString cannotCopy(const QString &path, const onboarding::Placement &placed)
{
    if (placed.problem == onboarding::Placement::Problem::Changed)
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), fileChanged());
    const QString why = placed.system ? Tr::tr("（%1）").arg(systemReason(*placed.system)) : QString();
    return Tr::tr("%1 の名前はリストファイルに書けないため、プログラムのフォルダーの games "
                          "にコピーしようとしましたが、できませんでした%2。")
        .arg(QDir::toNativeSeparators(path), why);
}

QString importNothingGiven()
{
    return Tr::tr("登録するファイルかフォルダーを指定してください（--help で使い方）。");
}

QString importFolderMissing(const QString &folder)
{
    return Tr::tr("プログラムフォルダー %1 がありません。").arg(QDir::toNativeSeparators(folder));
}

QString snapshotTaken(const onboarding::SnapshotResult &result, const QString &snapName)
{
    using Kind = onboarding::SnapshotResult::Kind;
    QString why;
    switch (result.kind) {
    case Kind::Taken: return Tr::tr("画面写真を撮りました %1.png").arg(snapName);
    case Kind::NoWorkFolder: why = Tr::tr("一時フォルダーを作れません"); break;
    case Kind::NoDisplay: why = Tr::tr("画面がなく、仮想画面（Xvfb）も起動できません"); break;
    case Kind::CannotStart: why = Tr::tr("openMSX（%1）を起動できません").arg(result.detail); break;
    case Kind::DidNotEnd: why = Tr::tr("openMSX が終わりません"); break;
    case Kind::NoPicture:
        why = Tr::tr("openMSX が画面を保存しませんでした%1")
                  .arg(result.detail.isEmpty() ? QString() : Tr::tr("（%1）").arg(result.detail));
        break;
    case Kind::NoPictureCode: why = Tr::tr("画像を扱うモジュール（tarumin-picture）がありません"); break;
    case Kind::CannotSave: why = Tr::tr("%1 に保存できません").arg(result.detail); break;
    }
    return Tr::tr("画面写真を撮れません %1: %2").arg(snapName, why);
}

QString saved(Change change)
{
    return change == Change::Edit ? Tr::tr("リストを編集したブリ。マジで。")
                                  : Tr::tr("リストを登録したブリ。マジで。");
}

QString deleted()
{
    return Tr::tr("リストを１つ削除しました。本気で。");
}

QString gameFileNotAnswering(const QString &path)
{
    return Tr::tr("%1 があるかどうか確かめられません（ドライブが応答しません）。このまま登録しますか？")
        .arg(QDir::toNativeSeparators(path));
}

QString gameFileMissing(const QString &path)
{
    return Tr::tr("%1 が見つかりません。このまま登録しますか？").arg(QDir::toNativeSeparators(path));
}

QString chooseSlot(const QString &fileName)
{
    return Tr::tr("「%1」がどのメディアのファイルかわかりません。スロットを選んでください。").arg(fileName);
}

QString confirmDelete(const QString &title)
{
    return Tr::tr("「%1」を削除しますか？").arg(title);
}

QString noGameFile(const QString &path)
{
    return Tr::tr("ファイルがありません: %1").arg(QDir::toNativeSeparators(path));
}

QString cannotStartMissing(const QString &path)
{
    return Tr::tr("ゲームのファイル %1 がないので、起動できません。"
                          "ファイルを置き直すか、「編集」でファイル名を直してください。")
        .arg(QDir::toNativeSeparators(path));
}

QString alreadyRegistered(const QString &file, int lineNumber, const QString &title)
{
    return Tr::tr("%1 は、リストの %2 行目「%3」としてもう登録されています。もう一度登録しますか？")
        .arg(QDir::toNativeSeparators(file)).arg(lineNumber).arg(title);
}

QString folderMissing(const QString &folder, int games)
{
    return Tr::tr("%1 の中のファイルが１つも見つかりません（%2 本）。"
                          "ドライブがつながっていないか、フォルダーが移されたのかもしれません。")
        .arg(QDir::toNativeSeparators(folder))
        .arg(games);
}

QString chooseGameFirst(Change change)
{
    return change == Change::Delete ? Tr::tr("削除するゲームをリストから選んでください。")
                                    : Tr::tr("編集するゲームをリストから選んでください。");
}

QString registrationCancelled()
{
    return Tr::tr("取り消しました。何も登録していません。");
}

QString registrationInProgress()
{
    return Tr::tr("ゲームのファイルを調べています…");
}

QString cancelCaption()
{
    return Tr::tr("キャンセル");
}

QString playHistory(int plays, qint64 seconds, const QDate &last)
{
    if (plays <= 0)
        return {};
    const qint64 minutes = seconds / 60;
    const QString total = minutes >= 60 ? Tr::tr("%1 時間 %2 分").arg(minutes / 60).arg(minutes % 60)
                          : minutes > 0 ? Tr::tr("%1 分").arg(minutes)
                                        : Tr::tr("1 分未満");
    QString text = Tr::tr("遊んだ回数 %1 回・合計 %2").arg(plays).arg(total);
    if (last.isValid())
        text += Tr::tr("・最後に遊んだ日 %1年%2月%3日").arg(last.year()).arg(last.month()).arg(last.day());
    return text;
}

QString playerDataSetAside(const QString &folder, const QString &asideName)
{
    return Tr::tr("遊んだ記録とお気に入りのファイル（%1 の player.json）が読めないため、%2 として残し、新しく記録を始めます。")
        .arg(QDir::toNativeSeparators(folder), asideName);
}

QString playerDataNotWritten(const QString &why)
{
    return Tr::tr("遊んだ記録とお気に入りを保存できませんでした（%1）。").arg(why.trimmed());
}

QString stateNotSaved(const QString &why)
{
    return Tr::tr("いまの状態を保存できませんでした。")
           + (why.trimmed().isEmpty() ? Tr::tr("openMSX が答えません。") : QStringLiteral("openMSX: ") + why.trimmed());
}

QString stateSaved()
{
    return Tr::tr("いまの状態を保存しました。リストのメニューの「続きから遊ぶ」で、ここから始められます。");
}

} // namespace messages
