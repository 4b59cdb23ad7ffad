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

// Encodes a text as CP932, or nothing when it holds a character that CP932 cannot hold. The
// characters that input methods on Linux type where a Windows one types a full-width twin
// (〜 − ‖ — ¢ £ ¬ ¥ ‾) are written as the twin (～ － ∥ ― ￠ ￡ ￢ ￥ ￣), and read back as it.
std::optional<QByteArray> encodeCp932(const QString &text);

// Encodes text as CP932 only when its bytes decode to the very same text: for names of files,
// which must lead to the file itself.
std::optional<QByteArray> encodeCp932Exact(const QString &text);

// The text with each such character replaced by its full-width twin.
QString withWindowsTwins(const QString &text);

} // namespace platform
