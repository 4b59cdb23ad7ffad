#include "identity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

#ifdef Q_OS_WIN

std::optional<unsigned> ownerOf(const QString &)
{
    return std::nullopt;
}

Identity actAsOwnerOf(const QStringList &)
{
    return {}; // Windows has no sudo: a program runs with the rights it was given
}

void reportOversizedWrites() {}

#else

std::optional<unsigned> ownerOf(const QString &path)
{
    QString at = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (;;) {
        struct stat st;
        if (::lstat(QFile::encodeName(at).constData(), &st) == 0)
            return unsigned(st.st_uid);
        if (errno != ENOENT && errno != ENOTDIR)
            return std::nullopt;
        const QString up = QFileInfo(at).absolutePath();
        if (up == at)
            return std::nullopt;
        at = up;
    }
}

Identity actAsOwnerOf(const QStringList &paths)
{
    Identity identity;
    if (::geteuid() != 0)
        return identity;
    std::optional<unsigned> owner;
    for (const QString &path : paths) {
        owner = ownerOf(path);
        if (owner && *owner != 0)
            break;
    }
    if (!owner || *owner == 0)
        return identity;

    // The user's own groups, as a login of theirs would have them; a user the system does not
    // name gets the group of the folder's owner entry, or none besides the folder's own.
    const uid_t uid = uid_t(*owner);
    gid_t gid = gid_t(-1);
    int failure = 0;
    QByteArray home;
    if (const struct passwd *user = ::getpwuid(uid)) {
        gid = user->pw_gid;
        home = user->pw_dir;
        if (::initgroups(user->pw_name, gid) != 0)
            failure = errno;
    } else {
        struct stat st;
        for (const QString &path : paths) {
            if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && st.st_uid == uid) {
                gid = st.st_gid;
                break;
            }
        }
        if (gid == gid_t(-1))
            gid = gid_t(uid);
        if (::setgroups(0, nullptr) != 0)
            failure = errno;
    }
    if (!failure && ::setresgid(gid, gid, gid) != 0)
        failure = errno;
    if (!failure && ::setresuid(uid, uid, uid) != 0)
        failure = errno;
    // Root's rights must be gone for good, or nothing holds.
    if (!failure && (::geteuid() != uid || ::getuid() != uid || ::getegid() != gid))
        failure = EPERM;
    if (failure) {
        identity.kind = Identity::Kind::Refused;
        identity.system = systemErrorFromErrno(failure);
        return identity;
    }
    // What the run starts (the emulator) keeps its settings in the user's home, not root's.
    if (!home.isEmpty())
        qputenv("HOME", home);
    identity.kind = Identity::Kind::Became;
    identity.uid = uid;
    return identity;
}

void reportOversizedWrites()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

#endif

} // namespace platform
