#include "console.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

void writeLine(Stream stream, const QString &text)
{
    FILE *const file = stream == Stream::Out ? stdout : stderr;
#ifdef Q_OS_WIN
    std::fflush(file);
    const HANDLE handle = GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        const QString line = text + QLatin1String("\r\n");
        DWORD written = 0;
        WriteConsoleW(handle, reinterpret_cast<const wchar_t *>(line.utf16()), DWORD(line.size()), &written, nullptr);
        return;
    }
    const QByteArray bytes = text.toUtf8() + '\n'; // the C runtime's text mode makes it CR LF
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
#else
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
#endif
    if (stream == Stream::Err)
        std::fflush(file);
}

} // namespace platform
