#include "refusals.h"

#include <QRegularExpression>

namespace adapter {

namespace {

constexpr int KeptLines = 6;

struct Words
{
    const char *pattern; // case-insensitive
    const char16_t *words;
};

} // namespace

QString refusalWords(const QString &line)
{
    static const Words table[] = {
        {R"(couldn't find rom file|required files are missing|romset .* not found)",
         u"機種の ROM が足りません。ROM を入れてください。"},
        {R"(no disk drive|no floppy)", u"この機種にはディスクドライブがありません。"},
        {R"(disk image|\.dsk\b|\.di[12]\b|\.dmk\b|floppy)", u"ディスクのイメージを読めません（壊れているか、ディスクのイメージではありません）。"},
        {R"(cas image|wav image|tape|cassette|\.cas\b)", u"テープのイメージを読めません（壊れているか、テープのイメージではありません）。"},
        {R"(display|video|\bsdl\b|renderer)", u"画面を開けません。デスクトップの中で起動してください。"},
        {R"(mapper|rom type|unknown rom|rom image|cartridge)", u"この ROM を知りません（ROM の種類がわかりません）。"},
        {R"(not found in this context|no such file|couldn't open|could not open)", u"ゲームのファイルを開けません。"},
    };
    static const QRegularExpression explaining(
        QStringLiteral(R"(^\s*(fatal ?error|required files are missing|romset .* not found))"),
        QRegularExpression::CaseInsensitiveOption);
    if (!explaining.match(line).hasMatch())
        return {};
    for (const Words &w : table) {
        const QRegularExpression re(QString::fromLatin1(w.pattern), QRegularExpression::CaseInsensitiveOption);
        if (re.match(line).hasMatch())
            return QString::fromUtf16(w.words);
    }
    return QStringLiteral("エミュレータがゲームを起動できませんでした。");
}

void OutputWatch::take(const QByteArray &bytes)
{
    const QString line = QString::fromLocal8Bit(bytes).trimmed().left(500);
    if (line.isEmpty())
        return;
    last_.append(line);
    if (last_.size() > KeptLines)
        last_.removeFirst();
    if (!refusalWords(line).isEmpty() && refusals_.size() < KeptLines)
        refusals_.append(line);
}

QList<OutputWatch::Line> OutputWatch::report(int *status) const
{
    if (*status == 0 && refusals_.isEmpty())
        return {};
    if (*status == 0)
        *status = 1;
    QList<Line> out;
    for (const QString &line : refusals_)
        out << Line{true, refusalWords(line)} << Line{false, line};
    if (out.isEmpty())
        for (const QString &line : last_)
            out << Line{false, line};
    return out;
}

} // namespace adapter
