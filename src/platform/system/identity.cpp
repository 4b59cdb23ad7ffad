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
    QByteArray home, name;
    if (const struct passwd *user = ::getpwuid(uid)) {
        gid = user->pw_gid;
        home = user->pw_dir;
        name = user->pw_name;
        if (::initgroups(user->pw_name, gid) != 0)
            failure = errno;
    } else {
        // No home of their own: the folder of theirs the run is about stands for it.
        struct stat st;
        for (const QString &path : paths) {
            if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && st.st_uid == uid) {
                gid = st.st_gid;
                home = QFile::encodeName(S_ISDIR(st.st_mode) ? QFileInfo(path).absoluteFilePath()
                                                              : QFileInfo(path).absolutePath());
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
    // What the run starts (the emulator) is the user's as a login of theirs would start it:
    // their name, their home, their folders for settings, caches and data (the defaults under
    // their home), their runtime folder where they have one; nothing of root's.
    if (!home.isEmpty())
        qputenv("HOME", home);
    else
        qunsetenv("HOME");
    for (const char *variable : {"USER", "LOGNAME"}) {
        if (!name.isEmpty())
            qputenv(variable, name);
        else
            qunsetenv(variable);
    }
    for (const char *variable : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "MAIL"})
        qunsetenv(variable);
    const QByteArray runtime = "/run/user/" + QByteArray::number(uid);
    struct stat rt;
    if (::lstat(runtime.constData(), &rt) == 0 && S_ISDIR(rt.st_mode) && rt.st_uid == uid)
        qputenv("XDG_RUNTIME_DIR", runtime);
    else
        qunsetenv("XDG_RUNTIME_DIR");
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
