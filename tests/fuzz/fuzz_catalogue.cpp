// libFuzzer target over the catalogue code. The first byte of the input picks what is tried
// with the rest: splitting a record, CP932 decoding and encoding, the line table's
// parse/serialise round trip (what load and save do around the file), or composing a line.
#include "catalogue/line_table.h"
#include "catalogue/record.h"
#include "platform/system/codepage.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void fuzzSplit(QByteArrayView line)
{
    const catalogue::Record r = catalogue::splitRecord(line);
    check(r.cuts >= 0 && r.cuts <= 7);
    // The fields joined again give back the line, as far as the cuts went.
    QByteArray joined;
    for (int i = 0; i <= r.cuts && i < catalogue::FieldCount; ++i) {
        if (i)
            joined += ',';
        joined += r.fields[i];
    }
    check(joined == line);
    for (int i = 0; i < catalogue::SnapNameField + 1; ++i)
        check(!r.fields[i].contains(','));
    check(line.startsWith(catalogue::gameNameOf(line)));
    // An edit saved untouched gives back the line itself.
    if (!line.contains('\r') && !line.contains('\n')) {
        const catalogue::EditBase base{line.toByteArray(), catalogue::entryFromLine(line).asShown()};
        const auto again = catalogue::checkedLine(base.shown, &base);
        check(std::holds_alternative<QByteArray>(again) && std::get<QByteArray>(again) == line);
    }
}

void fuzzCodePage(QByteArrayView bytes)
{
    const QString text = platform::decodeCp932(bytes);
    check(text.size() <= bytes.size());
    if (const auto encoded = platform::encodeCp932(text)) {
        // Text that encodes must come back as the same text (look-alikes as their twins).
        check(platform::decodeCp932(*encoded) == platform::withWindowsTwins(text));
        if (!text.contains(QChar::ReplacementCharacter))
            check(encoded->size() == bytes.size());
    } else {
        check(text.contains(QChar::ReplacementCharacter));
    }
}

void fuzzTable(const QByteArray &data)
{
    catalogue::LineTable table;
    const qsizetype lines = table.parse(data);
    check(table.size() == qMin<qsizetype>(lines, catalogue::LineTable::Capacity));
    const QByteArray written = table.serialise();
    catalogue::LineTable again;
    check(again.parse(written) == table.size());
    check(again.serialise() == written);
    // A file already written the program's way comes back byte for byte.
    if (lines <= catalogue::LineTable::Capacity && !data.contains('\r') && !data.isEmpty()) {
        QByteArray crlf = data;
        crlf.replace('\n', "\r\n");
        if (!crlf.endsWith("\r\n"))
            crlf += "\r\n";
        catalogue::LineTable t;
        if (t.parse(crlf) <= catalogue::LineTable::Capacity)
            check(t.serialise() == crlf);
    }
    // Table operations never step outside the table.
    catalogue::LineTable edited = table;
    const int k = data.isEmpty() ? 0 : int(qint8(data[0]));
    edited.remove(k);
    edited.replace(k, "x");
    edited.append("y");
    check(edited.size() <= catalogue::LineTable::Capacity);
}

void fuzzCompose(QByteArrayView bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QStringList parts = text.split(QChar(u'\0'));
    while (parts.size() < 8)
        parts << QString();
    const int slot = parts[7].isEmpty() ? -1 : int(parts[7].at(0).unicode() % 4) - 1;
    catalogue::Entry e{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6],
                       slot < 0 ? std::nullopt : std::optional(catalogue::Media(slot))};
    for (QString *s : {&e.gameName, &e.media, &e.releaseDate, &e.maker, &e.price, &e.description, &e.gameFileName})
        *s = catalogue::foldLineBreaks(*s);
    const QString line = catalogue::composeLine(e);
    check(!line.contains(u'\r') && !line.contains(u'\n'));
    const QString fields[] = {e.gameName, e.media, e.releaseDate, e.maker, e.price, e.description,
                              catalogue::snapNameFor(e.gameFileName)};
    bool commaFree = true;
    for (const QString &f : fields)
        commaFree = commaFree && !f.contains(u',');
    if (commaFree) {
        const catalogue::Record r = catalogue::splitRecord(line.toUtf8());
        check(r.cuts == 7);
        for (int i = 0; i < 7; ++i)
            check(QString::fromUtf8(r.fields[i]) == fields[i]);
        check(QString::fromUtf8(r.fields[7]) == catalogue::launchArgsFor(e.gameFileName, e.slot));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    switch (data[0] % 4) {
    case 0: fuzzSplit(rest); break;
    case 1: fuzzCodePage(rest); break;
    case 2: fuzzTable(rest); break;
    case 3: fuzzCompose(rest); break;
    }
    return 0;
}
