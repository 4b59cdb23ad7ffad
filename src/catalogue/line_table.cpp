#include "line_table.h"

#include "platform/file_sync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace catalogue {

QString LoadResult::message(const QString &path) const
{
    switch (kind) {
    case Kind::Loaded:
    case Kind::Missing:
        return {};
    case Kind::Unreadable:
        return QStringLiteral("リストファイル %1 を読み込めませんでした（%2）。変更はできません。")
            .arg(QDir::toNativeSeparators(path), reason);
    case Kind::TooLong:
        return QStringLiteral("リストファイルに %1 行あります。表示できるのは 1001 行までです。"
                              "ファイルを守るため、登録・編集・削除はできません。")
            .arg(lineCount);
    }
    return {};
}

qsizetype LineTable::parse(const QByteArray &data)
{
    qsizetype count = 0;
    qsizetype start = 0;
    const qsizetype n = data.size();
    const char *p = data.constData();
    while (start < n) {
        const void *cr = memchr(p + start, '\r', size_t(n - start));
        const qsizetype end = cr ? static_cast<const char *>(cr) - p : n;
        if (count < Capacity)
            lines_[count] = data.sliced(start, end - start);
        ++count;
        start = end + 1;
        if (cr && start < n && p[start] == '\n')
            ++start;
    }
    lastIndex_ = qint16(qMin<qsizetype>(count, Capacity) - 1);
    return count;
}

QByteArray LineTable::serialise() const
{
    qsizetype total = 0;
    for (int k = 0; k <= lastIndex_; ++k)
        total += lines_[k].size() + 2;
    QByteArray out;
    out.reserve(total);
    for (int k = 0; k <= lastIndex_; ++k) {
        out.append(lines_[k]);
        out.append("\r\n", 2);
    }
    return out;
}

LoadResult LineTable::load(const QString &path)
{
    LoadResult result;
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        lastIndex_ = -1;
        problem_.reset();
        result.kind = LoadResult::Kind::Missing;
        return result;
    }
    QByteArray data;
    bool read = false;
    if (QFileInfo(path).isDir()) {
        result.reason = QStringLiteral("ファイルの場所にフォルダーがあります");
    } else if (!file.open(QIODevice::ReadOnly)) {
        result.reason = file.errorString();
    } else {
        data = file.readAll();
        if (file.error() != QFileDevice::NoError)
            result.reason = file.errorString();
        else
            read = true;
    }
    if (!read) {
        lastIndex_ = -1;
        result.kind = LoadResult::Kind::Unreadable;
        problem_ = result;
        return result;
    }
    result.lineCount = parse(data);
    if (result.lineCount > Capacity) {
        result.kind = LoadResult::Kind::TooLong;
        problem_ = result;
    } else {
        problem_.reset();
    }
    return result;
}

std::optional<QString> LineTable::save(const QString &path) const
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return QStringLiteral("フォルダー %1 を作れません")
            .arg(QDir::toNativeSeparators(info.absolutePath()));
    if (info.isDir())
        return QStringLiteral("ファイルの場所にフォルダーがあります");
    // The usual refusals, said in the program's own words.
    if (info.exists() && !info.isWritable())
        return QStringLiteral("ファイルが書き込み禁止になっています");
    if (!QFileInfo(info.absolutePath()).isWritable())
        return QStringLiteral("フォルダー %1 に書き込めません")
            .arg(QDir::toNativeSeparators(info.absolutePath()));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray data = serialise();
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (const auto reason = platform::syncToDisk(file)) {
        file.cancelWriting();
        return QStringLiteral("ディスクに書き込めません: ") + *reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> LineTable::refusal() const
{
    if (!problem_)
        return std::nullopt;
    if (problem_->kind == LoadResult::Kind::TooLong)
        return QStringLiteral("リストファイルが 1001 行を超えているため、変更できません。");
    return QStringLiteral("リストファイルを読み込めなかったため、変更できません（%1）。")
        .arg(problem_->reason);
}

bool LineTable::replace(int k, const QByteArray &line)
{
    if (!contains(k))
        return false;
    lines_[k] = line;
    return true;
}

bool LineTable::append(const QByteArray &line)
{
    if (lastIndex_ >= Capacity - 1)
        return false;
    ++lastIndex_;
    lines_[lastIndex_] = line;
    return true;
}

bool LineTable::remove(int k)
{
    if (!contains(k))
        return false;
    for (int i = k; i < lastIndex_; ++i)
        lines_[i] = std::move(lines_[i + 1]);
    lines_[lastIndex_] = QByteArray();
    --lastIndex_;
    return true;
}

} // namespace catalogue
