#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Conversion between Unicode and the Japanese Windows code page (CP932, Shift-JIS with the
// Microsoft extensions), done by the operating system's own converter.
namespace platform {

// Decodes CP932 bytes. A byte sequence that is not CP932 comes out as U+FFFD, one for each
// byte that could not start a character; the bytes themselves are left to the caller.
QString decodeCp932(QByteArrayView bytes);

// Encodes text as CP932, or nothing when the text holds a character that CP932 cannot hold:
// text is taken only when its bytes decode to the very same text.
std::optional<QByteArray> encodeCp932(const QString &text);

} // namespace platform
