#include "refusals.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace adapter {

namespace {

// The adapter's words, written in Japanese.
struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(Adapter)
};

constexpr int KeptLines = 6;

struct Words
{
    const char *pattern; // case-insensitive
    const char *words; // translated when said
};

} // namespace

QString refusalWords(const QString &line)
{
    static const Words table[] = {
        {R"(couldn't find rom file|required files are missing|romset .* not found)",
         QT_TRANSLATE_NOOP("Adapter", "機種の ROM が足りません。ROM を入れてください。")},
        {R"(no disk drive|no floppy)", QT_TRANSLATE_NOOP("Adapter", "この機種にはディスクドライブがありません。")},
        {R"(disk image|\.dsk\b|\.di[12]\b|\.dmk\b|floppy)", QT_TRANSLATE_NOOP("Adapter", "ディスクのイメージを読めません（壊れているか、ディスクのイメージではありません）。")},
        {R"(cas image|wav image|tape|cassette|\.cas\b)", QT_TRANSLATE_NOOP("Adapter", "テープのイメージを読めません（壊れているか、テープのイメージではありません）。")},
        {R"(display|video|\bsdl\b|renderer)", QT_TRANSLATE_NOOP("Adapter", "画面を開けません。デスクトップの中で起動してください。")},
        {R"(mapper|rom type|unknown rom|rom image|cartridge)", QT_TRANSLATE_NOOP("Adapter", "この ROM を知りません（ROM の種類がわかりません）。")},
        {R"(not found in this context|no such file|couldn't open|could not open)", QT_TRANSLATE_NOOP("Adapter", "ゲームのファイルを開けません。")},
    };
    static const QRegularExpression explaining(
        QStringLiteral(R"(^\s*(fatal ?error|required files are missing|romset .* not found))"),
        QRegularExpression::CaseInsensitiveOption);
    if (!explaining.match(line).hasMatch())
        return {};
    for (const Words &w : table) {
        const QRegularExpression re(QString::fromLatin1(w.pattern), QRegularExpression::CaseInsensitiveOption);
        if (re.match(line).hasMatch())
            return Tr::tr(w.words);
    }
    return Tr::tr("エミュレータがゲームを起動できませんでした。");
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
