#include "file_names.h"

#include <QDir>

#include "codepage.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {
constexpr char16_t FirstRaw = 0xDC80, LastRaw = 0xDCFF;
bool isRaw(QChar c)
{
    return c.unicode() >= FirstRaw && c.unicode() <= LastRaw;
}
} // namespace

QString nameFromSystem(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QString kept;
    kept.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        kept += u < 0x80 ? QChar(char16_t(u)) : QChar(char16_t(0xDC00 + u));
    }
    return kept;
}

QByteArray nameForSystem(const QString &name)
{
    if (!holdsRawBytes(name))
        return QFile::encodeName(name);
    // The kept bytes as they were; the rest (the folders above, say) in UTF-8.
    QByteArray bytes;
    qsizetype run = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isRaw(name.at(i)))
            continue;
        bytes += QStringView(name).sliced(run, i - run).toUtf8();
        if (i < name.size())
            bytes += char(name.at(i).unicode() - 0xDC00);
        run = i + 1;
    }
    return bytes;
}

bool holdsRawBytes(const QString &name)
{
    return std::any_of(name.cbegin(), name.cend(), isRaw);
}

QString readableName(const QString &name)
{
    if (!holdsRawBytes(name))
        return name;
    const QByteArray bytes = nameForSystem(name);
    const QString cp932 = decodeCp932(bytes);
    if (!cp932.contains(QChar::ReplacementCharacter))
        return cp932;
    QString shown;
    for (const QChar c : name)
        shown += isRaw(c) ? QStringLiteral("\\x%1").arg(c.unicode() - 0xDC00, 2, 16, QLatin1Char('0')) : QString(c);
    return shown;
}

#ifdef Q_OS_WIN

QStringList commandLineArguments(int, char *[])
{
    return QCoreApplication::arguments();
}

QString localFileOf(const QUrl &url)
{
    return url.toLocalFile();
}

void walkFolder(const QString &folder, const std::function<void(const QString &, EntryType)> &visit)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo entry = it.fileInfo();
        if (entry.isSymLink() && !entry.exists())
            visit(path, EntryType::BrokenLink);
        else if (entry.isDir())
            visit(path, entry.isReadable() ? EntryType::Folder : EntryType::UnreadableFolder);
        else
            visit(path, entry.isFile() ? EntryType::File : EntryType::Other);
    }
}

#else

QStringList commandLineArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << nameFromSystem(QByteArray(argv[i]));
    return arguments;
}

QString localFileOf(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    return nameFromSystem(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

namespace {

void walk(const QString &folder, const QByteArray &native, const std::function<void(const QString &, EntryType)> &visit,
          int depth)
{
    DIR *dir = ::opendir(native.constData());
    if (!dir)
        return;
    const int fd = ::dirfd(dir);
    QList<std::pair<QString, QByteArray>> folders;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QString path = folder + u'/' + nameFromSystem(name);
        const QByteArray nativePath = native + '/' + name;
        struct stat st;
        if (::fstatat(fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            visit(path, EntryType::Other);
            continue;
        }
        if (S_ISLNK(st.st_mode)) {
            // A link is taken for what it leads to, and never walked into.
            if (::fstatat(fd, name.constData(), &st, 0) != 0)
                visit(path, EntryType::BrokenLink);
            else if (S_ISDIR(st.st_mode))
                visit(path, EntryType::Folder);
            else
                visit(path, S_ISREG(st.st_mode) ? EntryType::File : EntryType::Other);
        } else if (S_ISDIR(st.st_mode)) {
            const bool readable = ::faccessat(fd, name.constData(), R_OK | X_OK, 0) == 0;
            visit(path, readable ? EntryType::Folder : EntryType::UnreadableFolder);
            if (readable && depth < 64)
                folders.append({path, nativePath});
        } else {
            visit(path, S_ISREG(st.st_mode) ? EntryType::File : EntryType::Other);
        }
    }
    ::closedir(dir);
    for (const auto &[path, nativePath] : folders)
        walk(path, nativePath, visit, depth + 1);
}

} // namespace

void walkFolder(const QString &folder, const std::function<void(const QString &, EntryType)> &visit)
{
    walk(folder, nameForSystem(folder), visit, 0);
}

#endif

QString pathKey(const QString &path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
#ifdef Q_OS_WIN
    return clean.toLower();
#else
    return clean;
#endif
}

} // namespace platform
