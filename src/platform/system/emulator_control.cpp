#include "emulator_control.h"

#include "file_names.h"
#include "handover.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

#ifdef Q_OS_WIN
#define SECURITY_WIN32
#include <winsock2.h>
#include <windows.h>
#include <security.h>
#else
#include <cerrno>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString unescaped(QString text)
{
    static const QRegularExpression numeric(QStringLiteral("&#(x[0-9a-fA-F]+|[0-9]+);"));
    QString out;
    qsizetype at = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(at, m.capturedStart() - at);
        const QString n = m.captured(1);
        bool ok = false;
        const uint code = n.startsWith(u'x') ? n.mid(1).toUInt(&ok, 16) : n.toUInt(&ok, 10);
        if (ok && code <= 0x10FFFF)
            out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        at = m.capturedEnd();
    }
    out += text.mid(at);
    out.replace(QLatin1String("&lt;"), QLatin1String("<"));
    out.replace(QLatin1String("&gt;"), QLatin1String(">"));
    out.replace(QLatin1String("&quot;"), QLatin1String("\""));
    out.replace(QLatin1String("&apos;"), QLatin1String("'"));
    out.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return out;
}

QList<ControlReply> repliesIn(const QByteArray &received)
{
    static const QRegularExpression reply(QStringLiteral(R"re(<reply result="(ok|nok)">(.*?)</reply>)re"),
                                          QRegularExpression::DotMatchesEverythingOption);
    QList<ControlReply> replies;
    const QString text = QString::fromUtf8(received);
    for (auto it = reply.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        replies.append({m.captured(1) == QLatin1String("ok"), unescaped(m.captured(2))});
    }
    return replies;
}

QByteArray request(const QStringList &commands)
{
    QByteArray out = "<openmsx-control>\n";
    for (const QString &command : commands)
        out += "<command>" + escaped(command).toUtf8() + "</command>\n";
    return out;
}

#ifdef Q_OS_WIN

// A socket closed when it goes out of scope.
struct Socket
{
    SOCKET s = INVALID_SOCKET;
    ~Socket()
    {
        if (s != INVALID_SOCKET)
            closesocket(s);
    }
};

bool sendAll(SOCKET s, const char *data, qsizetype size)
{
    qsizetype sent = 0;
    while (sent < size) {
        const int n = ::send(s, data + sent, int(qMin<qsizetype>(size - sent, 65536)), 0);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

bool receiveAll(SOCKET s, char *data, qsizetype size, const QDeadlineTimer &deadline)
{
    qsizetype got = 0;
    while (got < size) {
        const DWORD wait = DWORD(qMax<qint64>(1, deadline.remainingTime()));
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char *>(&wait), sizeof wait);
        const int n = ::recv(s, data + got, int(size - got), 0);
        if (n <= 0 || deadline.hasExpired())
            return false;
        got += n;
    }
    return true;
}

// openMSX's handshake: SSPI Negotiate as this user, each token sent as its length (four bytes,
// most significant first) and its bytes.
bool proveWhoWeAre(SOCKET s, const QDeadlineTimer &deadline)
{
    CredHandle credentials;
    TimeStamp expiry;
    if (AcquireCredentialsHandleW(nullptr, const_cast<SEC_WCHAR *>(L"Negotiate"), SECPKG_CRED_OUTBOUND, nullptr, nullptr,
                                  nullptr, nullptr, &credentials, &expiry)
        != SEC_E_OK)
        return false;
    CtxtHandle context;
    bool haveContext = false;
    QByteArray fromServer;
    bool done = false, failed = false;
    while (!done && !failed) {
        SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &out};
        SecBuffer in{ULONG(fromServer.size()), SECBUFFER_TOKEN, fromServer.data()};
        SecBufferDesc inDesc{SECBUFFER_VERSION, 1, &in};
        ULONG attributes = 0;
        const SECURITY_STATUS status = InitializeSecurityContextW(
            &credentials, haveContext ? &context : nullptr, nullptr,
            ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_CONNECTION | ISC_REQ_STREAM, 0, SECURITY_NETWORK_DREP,
            haveContext ? &inDesc : nullptr, 0, &context, &outDesc, &attributes, &expiry);
        haveContext = true;
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) {
            failed = true;
            break;
        }
        if (out.cbBuffer > 0) {
            const quint32 size = out.cbBuffer;
            const char length[4] = {char(size >> 24), char(size >> 16), char(size >> 8), char(size)};
            failed = !sendAll(s, length, 4) || !sendAll(s, static_cast<const char *>(out.pvBuffer), qsizetype(size));
            FreeContextBuffer(out.pvBuffer);
        }
        if (failed || status == SEC_E_OK) {
            done = !failed;
            break;
        }
        unsigned char length[4];
        if (!receiveAll(s, reinterpret_cast<char *>(length), 4, deadline)) {
            failed = true;
            break;
        }
        const quint32 size = quint32(length[0]) << 24 | quint32(length[1]) << 16 | quint32(length[2]) << 8 | length[3];
        if (size > 64 * 1024) {
            failed = true;
            break;
        }
        fromServer.resize(qsizetype(size));
        failed = !receiveAll(s, fromServer.data(), fromServer.size(), deadline);
    }
    if (haveContext)
        DeleteSecurityContext(&context);
    FreeCredentialsHandle(&credentials);
    return done;
}

std::optional<QList<ControlReply>> exchange(qint64 pid, const QStringList &commands, int timeoutMs)
{
    // openMSX writes the port it listens on (on this computer only) into a file of its temp folder.
    QFile portFile(QDir::tempPath() + QStringLiteral("/openmsx-default/socket.") + QString::number(pid));
    if (!portFile.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool ok = false;
    const uint port = portFile.read(32).trimmed().toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return std::nullopt;
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        return std::nullopt;
    Socket socket;
    socket.s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket.s == INVALID_SOCKET)
        return std::nullopt;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(u_short(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket.s, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        return std::nullopt;
    const QDeadlineTimer deadline(timeoutMs);
    if (!proveWhoWeAre(socket.s, deadline))
        return std::nullopt;
    const QByteArray out = request(commands);
    if (!sendAll(socket.s, out.constData(), out.size()))
        return std::nullopt;
    QByteArray received;
    while (received.count("</reply>") < commands.size()) {
        char buffer[4096];
        const DWORD wait = DWORD(qMax<qint64>(1, deadline.remainingTime()));
        setsockopt(socket.s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char *>(&wait), sizeof wait);
        const int n = ::recv(socket.s, buffer, sizeof buffer, 0);
        if (n <= 0 || deadline.hasExpired() || received.size() > 1024 * 1024)
            return std::nullopt;
        received.append(buffer, n);
    }
    return repliesIn(received);
}

#else

QString userName()
{
    const struct passwd *user = ::getpwuid(::geteuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QString();
}

std::optional<QList<ControlReply>> exchange(qint64 pid, const QStringList &commands, int timeoutMs)
{
    // Where openMSX puts it: under TMPDIR, else TMP, else /tmp.
    QString temporary = qEnvironmentVariable("TMPDIR");
    if (temporary.isEmpty())
        temporary = qEnvironmentVariable("TMP");
    if (temporary.isEmpty())
        temporary = QStringLiteral("/tmp");
    const QString folder = QDir::cleanPath(temporary) + QStringLiteral("/openmsx-") + userName();
    const QByteArray path = nameForSystem(folder + QStringLiteral("/socket.") + QString::number(pid));
    // Only a folder and a socket of this user's: another's could answer in openMSX's place.
    struct stat st;
    if (::lstat(nameForSystem(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()
        || ::lstat(path.constData(), &st) != 0 || !S_ISSOCK(st.st_mode) || st.st_uid != ::geteuid())
        return std::nullopt;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return std::nullopt;
    memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    const auto closeAndFail = [fd]() -> std::optional<QList<ControlReply>> {
        ::close(fd);
        return std::nullopt;
    };
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        return closeAndFail();
    const QByteArray out = request(commands);
    qsizetype sent = 0;
    while (sent < out.size()) {
        const ssize_t n = ::send(fd, out.constData() + sent, size_t(out.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return closeAndFail();
        sent += n;
    }
    QByteArray received;
    const QDeadlineTimer deadline(timeoutMs);
    while (received.count("</reply>") < commands.size()) {
        pollfd wait{fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, int(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return closeAndFail();
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || received.size() > 1024 * 1024)
            return closeAndFail();
        received.append(buffer, n);
    }
    ::close(fd);
    return repliesIn(received);
}

#endif

} // namespace

std::optional<QList<ControlReply>> sendToEmulator(qint64 pid, const QStringList &commands, int timeoutMs)
{
    if (pid <= 0 || commands.isEmpty())
        return std::nullopt;
    if (std::optional<QList<ControlReply>> replies = exchange(pid, commands, timeoutMs))
        return replies;
    // The emulator started by the adapter that pid is.
    for (const qint64 child : childProcesses(pid))
        if (std::optional<QList<ControlReply>> replies = exchange(child, commands, timeoutMs))
            return replies;
    return std::nullopt;
}

QString tclQuoted(const QString &word)
{
    const bool control = std::any_of(word.begin(), word.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    if (!word.isEmpty() && !control && !word.contains(u'{') && !word.contains(u'}') && !word.contains(u'\\'))
        return u'{' + word + u'}';
    // Control characters by their codes: a backslash before a line break would join the lines.
    QString out;
    for (const QChar c : word) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || (c.isSpace() && c != u' '))
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else if (QStringLiteral("{}[]$\\\"; ").contains(c))
            out += u'\\' + QString(c);
        else
            out += c;
    }
    return out.isEmpty() ? QStringLiteral("{}") : out;
}

} // namespace platform
