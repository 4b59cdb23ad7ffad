#include "line_table.h"

#include "record.h"

#include "platform/system/codepage.h"
#include "platform/system/file_read.h"
#include "platform/system/file_sync.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QThread>

namespace catalogue {

namespace {

Error errorAt(Error::Kind kind, const QString &path, platform::SystemError system = {})
{
    Error e;
    e.kind = kind;
    e.path = path;
    e.system = std::move(system);
    return e;
}

Error saveFailed(Error::Step step, const QString &path, platform::SystemError system)
{
    Error e = errorAt(Error::Kind::WriteFailed, path, std::move(system));
    e.step = step;
    return e;
}

// Text after a byte-order mark that is UTF-8 (and not plain ASCII, which reads the same in
// both), written in CP932 to be shown, "？" for what CP932 cannot hold; nothing otherwise.
std::optional<QByteArray> cp932OfUtf8(const QByteArray &data)
{
    bool ascii = true;
    for (const char c : data) {
        if (uchar(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(data);
    if (decoder.hasError())
        return std::nullopt;
    return platform::encodeCp932(replaceUnwritable(text, QStringLiteral("？"), nullptr));
}

// Whether the bytes are UTF-8 throughout and hold at least one character beyond ASCII.
bool utf8BeyondAscii(const QByteArray &data)
{
    bool beyond = false;
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype n = data.size();
    for (qsizetype i = 0; i < n;) {
        const uchar c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        const int more = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : -1;
        if (more < 0 || i + more >= n)
            return false;
        for (int k = 1; k <= more; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        }
        beyond = true;
        i += 1 + more;
    }
    return beyond;
}

// A file saved as UTF-16 (by a Windows editor's "Unicode"): its mark, or NUL bytes, which no
// CP932 text holds. The text, in CP932 to be shown ("？" for what CP932 cannot hold), or
// nothing when the file is no UTF-16.
std::optional<QByteArray> cp932OfUtf16(QByteArray data)
{
    bool little;
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        little = data.startsWith("\xFF\xFE");
        data.remove(0, 2);
    } else {
        if (!data.contains('\0'))
            return std::nullopt;
        // ASCII in UTF-16 puts its NUL after the character (little-endian) or before it.
        qsizetype odd = 0, even = 0;
        for (qsizetype i = 0; i < data.size(); ++i) {
            if (data[i] == '\0')
                ++(i % 2 ? odd : even);
        }
        little = odd >= even;
    }
    if (data.size() % 2)
        data.chop(1);
    QStringDecoder decoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(data);
    return platform::encodeCp932(replaceUnwritable(text, QStringLiteral("？"), nullptr)).value_or(QByteArray());
}

} // namespace

qsizetype LineTable::parse(const QByteArray &data)
{
    qsizetype count = 0;
    qsizetype start = 0;
    const qsizetype n = data.size();
    const char *p = data.constData();
    while (start < n) {
        qsizetype end = start;
        while (end < n && p[end] != '\r' && p[end] != '\n')
            ++end;
        if (count < Capacity)
            lines_[count] = data.sliced(start, end - start);
        ++count;
        start = end + 1;
        if (end < n && p[end] == '\r' && start < n && p[start] == '\n')
            ++start;
    }
    lastIndex_ = int(qMin<qsizetype>(count, Capacity) - 1);
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
    const platform::FileRead read = platform::readPlainFile(path, MaxFileBytes);
    using Problem = platform::FileRead::Problem;
    switch (read.problem) {
    case Problem::None:
        break;
    case Problem::Missing:
        lastIndex_ = -1;
        problem_.reset();
        result.missing = true;
        return result;
    case Problem::Folder: result.error = errorAt(Error::Kind::FolderInPlace, path); break;
    case Problem::NotAFile: result.error = errorAt(Error::Kind::NotAFile, path); break;
    case Problem::TooLarge: result.error = errorAt(Error::Kind::TooLarge, path); break;
    case Problem::Failed: result.error = errorAt(Error::Kind::Unreadable, path, read.system); break;
    }
    if (result.error) {
        lastIndex_ = -1;
        problem_ = result.error;
        return result;
    }
    QByteArray data = read.data;
    // A file another program saved in another encoding is shown as far as CP932 can show it
    // and is never changed: a line added in CP932 would leave it in two encodings at once.
    std::optional<Error> utf8;
    if (const auto shown = cp932OfUtf16(data)) {
        data = *shown;
        utf8 = errorAt(Error::Kind::Utf16, path);
    } else if (data.startsWith("\xEF\xBB\xBF")) {
        data.remove(0, 3);
        if (const auto shown = cp932OfUtf8(data)) {
            data = *shown;
            utf8 = errorAt(Error::Kind::Utf8, path);
        }
    } else if (utf8BeyondAscii(data) && platform::decodeCp932(data).contains(QChar::ReplacementCharacter)) {
        // UTF-8 without a mark: told only when the bytes are no CP932; bytes that read as
        // both are CP932, as always.
        if (const auto shown = cp932OfUtf8(data)) {
            data = *shown;
            utf8 = errorAt(Error::Kind::Utf8, path);
        }
    }
    result.unterminated = !data.isEmpty() && !data.endsWith('\r') && !data.endsWith('\n');
    result.lineCount = parse(data);
    if (utf8) {
        result.error = utf8;
        problem_ = utf8;
    } else if (result.lineCount > Capacity) {
        result.error = errorAt(Error::Kind::TooLong, path);
        result.error->lineCount = result.lineCount;
        problem_ = result.error;
    } else {
        problem_.reset();
    }
    return result;
}

std::optional<Error> LineTable::save(const QString &path, const std::function<void()> &whileWaiting) const
{
    const QDeadlineTimer deadline(ReplaceWaitMs);
    for (;;) {
        auto failed = saveOnce(path);
        if (!failed || failed->kind != Error::Kind::WriteFailed || failed->step != Error::Step::Replace
            || !platform::replaceHeldByReader(failed->system))
            return failed;
        if (deadline.hasExpired()) {
            failed->kind = Error::Kind::HeldOpen;
            return failed;
        }
        if (whileWaiting)
            whileWaiting();
        QThread::msleep(100);
    }
}

std::optional<Error> LineTable::saveOnce(const QString &path) const
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    platform::clearSystemError();
    if (!QDir().mkpath(folder))
        return errorAt(Error::Kind::CannotCreateFolder, folder, platform::lastSystemError());
    if (info.isDir())
        return errorAt(Error::Kind::FolderInPlace, path);
    if (info.exists() && !info.isWritable())
        return errorAt(Error::Kind::ReadOnlyFile, path);
    if (!QFileInfo(folder).isWritable())
        return errorAt(Error::Kind::ReadOnlyFolder, folder);

    QSaveFile file(path);
    platform::clearSystemError();
    // Unbuffered: a write the disk refuses fails here, not later at the flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return saveFailed(Error::Step::Create, path, platform::lastSystemError(file.errorString()));
    platform::keepOwnerAndMode(file, path);
    const QByteArray data = serialise();
    platform::clearSystemError();
    if (file.write(data) != data.size()) {
        const platform::SystemError reason = platform::lastSystemError(file.errorString());
        file.cancelWriting();
        return saveFailed(Error::Step::Write, path, reason);
    }
    if (const auto reason = platform::syncToDisk(file)) {
        file.cancelWriting();
        return saveFailed(Error::Step::Flush, path, *reason);
    }
    platform::clearSystemError();
    if (!file.commit())
        return saveFailed(Error::Step::Replace, path, platform::lastSystemError(file.errorString()));
    return std::nullopt;
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
