#include "codepage.h"

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace platform {

#ifdef Q_OS_WIN

QString decodeCp932(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    const int size = int(bytes.size());
    // Strict first, so that a line with a stray byte can be decoded piece by piece below.
    int wide = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (wide > 0) {
        QString out(wide, Qt::Uninitialized);
        MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), size,
                            reinterpret_cast<wchar_t *>(out.data()), wide);
        return out;
    }
    QString out;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const unsigned char c = uchar(bytes[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        const int len = (lead && i + 1 < bytes.size()) ? 2 : 1;
        wchar_t ch[2];
        if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data() + i, len, ch, 2) == 1) {
            out.append(QChar(ch[0]));
            i += len;
        } else {
            out.append(QChar::ReplacementCharacter);
            i += 1;
        }
    }
    return out;
}

static std::optional<QByteArray> encodeRaw(const QString &text)
{
    if (text.isEmpty())
        return QByteArray();
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, int(text.size()),
                                         nullptr, 0, nullptr, &lost);
    if (size <= 0 || lost)
        return std::nullopt;
    QByteArray out(size, Qt::Uninitialized);
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), out.data(), size,
                        nullptr, &lost);
    if (lost)
        return std::nullopt;
    return out;
}

#else

namespace {

// One converter for each direction and thread, opened on first use and kept for the life of
// the thread (a converter keeps state between calls, so threads must not share one).
class Converter
{
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can. Returns the number of input bytes left unconverted, with
    // the output appended to out.
    size_t run(const char *in, size_t inLeft, QByteArray &out)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[1024];
        while (inLeft > 0) {
            char *dst = buffer;
            size_t dstLeft = sizeof buffer;
            auto *src = const_cast<char *>(in);
            const size_t r = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
            out.append(buffer, dst - buffer);
            in = src;
            if (r == size_t(-1) && errno != E2BIG)
                break;
        }
        return inLeft;
    }

private:
    iconv_t cd_;
};

Converter &decoder()
{
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter &encoder()
{
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

} // namespace

QString decodeCp932(QByteArrayView bytes)
{
    // Plain ASCII is the same in both: no need to ask the converter.
    bool ascii = true;
    for (char c : bytes) {
        if (uchar(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes.data(), bytes.size());

    Converter &cv = decoder();
    if (!cv.ok())
        return QString(bytes.size(), QChar::ReplacementCharacter);
    QByteArray utf8;
    utf8.reserve(bytes.size() * 2);
    const char *p = bytes.data();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        const size_t rest = cv.run(p, left, utf8);
        if (rest == 0)
            break;
        // The byte at p + (left - rest) cannot start a character here: mark it and go on.
        utf8.append("\xEF\xBF\xBD");
        p += left - rest + 1;
        left = rest - 1;
    }
    // UTF-8 takes three bytes for a kana or kanji, QString two: a thousand titles kept shown
    // would otherwise hold half as much again as they need.
    QString text = QString::fromUtf8(utf8);
    text.squeeze();
    return text;
}

static std::optional<QByteArray> encodeRaw(const QString &text)
{
    if (text.isEmpty())
        return QByteArray();
    Converter &cv = encoder();
    if (!cv.ok())
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    if (cv.run(utf8.constData(), size_t(utf8.size()), out) != 0)
        return std::nullopt;
    return out;
}

#endif

std::optional<QByteArray> encodeCp932Exact(const QString &text)
{
    // Converters differ in what they map to a look-alike (glibc writes the yen sign as 5C,
    // which reads back as a backslash; Windows refuses it): only text that reads back the
    // same is taken, so that every system stores the same texts the same way.
    auto bytes = encodeRaw(text);
    if (bytes && decodeCp932(*bytes) != text)
        return std::nullopt;
    return bytes;
}

QString withWindowsTwins(const QString &text)
{
    // What input methods on Linux type, and what a Windows one types for the same key.
    static const std::pair<char16_t, char16_t> twins[] = {
        {0x301C, 0xFF5E}, // 〜 wave dash: ～
        {0x2212, 0xFF0D}, // − minus: －
        {0x2016, 0x2225}, // ‖ double vertical line: ∥
        {0x2014, 0x2015}, // — em dash: ―
        {0x00A2, 0xFFE0}, // ¢
        {0x00A3, 0xFFE1}, // £
        {0x00AC, 0xFFE2}, // ¬
        {0x00A5, 0xFFE5}, // ¥
        {0x203E, 0xFFE3}, // ‾ overline: ￣
    };
    QString out = text;
    for (QChar &c : out) {
        for (const auto &[typed, twin] : twins) {
            if (c.unicode() == typed) {
                c = QChar(twin);
                break;
            }
        }
    }
    return out;
}

std::optional<QByteArray> encodeCp932(const QString &text)
{
    return encodeCp932Exact(withWindowsTwins(text));
}

} // namespace platform
