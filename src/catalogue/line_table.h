#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <optional>

namespace catalogue {

// What became of a load, for the window to report.
struct LoadResult
{
    enum class Kind {
        Loaded,      // the file was read whole
        Missing,     // no file yet: an empty catalogue, created by the first save
        Unreadable,  // the file is there but could not be read
        TooLong,     // more lines than the table holds; the first ones were kept
    };
    Kind kind = Kind::Loaded;
    QString reason;        // Unreadable: what the system said
    qsizetype lineCount = 0; // lines in the file (TooLong: all of them, not only those kept)

    bool ok() const { return kind == Kind::Loaded || kind == Kind::Missing; }
    // A one-line Japanese message for the user; empty when there is nothing to say.
    QString message(const QString &path) const;
};

// The in-memory copy of the catalogue file: its lines as the bytes read, without their
// terminators, in file order. Line k is record k of the catalogue.
class LineTable
{
public:
    static constexpr int Capacity = 1001;

    // Replaces the table with the file's lines. A line ends at CR LF or at a lone CR; a lone
    // LF is an ordinary byte; a last line without terminator is a line.
    LoadResult load(const QString &path);

    // Writes lines 0 to LastIndex, each followed by CR LF, to a new file that then takes the
    // place of the old one, so that a save that fails leaves the old file whole. Creates the
    // file's folder when it is missing. Returns the reason on failure.
    std::optional<QString> save(const QString &path) const;

    // Why the table must not be changed and saved now, or nothing when it may. A table whose
    // file could not be read, or did not fit, would overwrite what it never saw.
    std::optional<QString> refusal() const;

    // Each returns false, leaving the table as it was, for an index outside 0 to LastIndex
    // (replace, remove) or a full table (append).
    bool replace(int k, const QByteArray &line);
    bool append(const QByteArray &line);
    bool remove(int k);

    qint16 lastIndex() const { return lastIndex_; }
    int size() const { return lastIndex_ + 1; }
    bool contains(int k) const { return k >= 0 && k <= lastIndex_; }
    // Line k, or an empty line for an index outside the table.
    QByteArray line(int k) const { return contains(k) ? lines_[k] : QByteArray(); }

    // Splits file contents into lines (exposed for the tests and the benchmark). Returns the
    // number of lines in the data; only the first Capacity are stored.
    qsizetype parse(const QByteArray &data);
    QByteArray serialise() const;

private:
    std::array<QByteArray, Capacity> lines_;  // ListLines
    qint16 lastIndex_ = -1;                    // LastIndex
    std::optional<LoadResult> problem_;        // the last load's failure, if it failed
};

} // namespace catalogue
