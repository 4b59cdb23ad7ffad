#pragma once

#include "error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace catalogue {

// What became of a load.
struct LoadResult
{
    bool missing = false;        // no file yet: an empty catalogue, created by the first save
    qsizetype lineCount = 0;     // lines in the file (all of them, not only those kept)
    bool unterminated = false;   // the last line has no line end (the file may be being written)
    std::optional<Error> error;  // Unreadable, FolderInPlace or TooLong

    bool ok() const { return !error; }
};

// The in-memory copy of the catalogue file: its lines as the bytes read, without their
// terminators, in file order. Line k is record k of the catalogue.
class LineTable
{
public:
    static constexpr int Capacity = 1001;
    // A larger file is not read (it could not be a catalogue of 1001 games anyone typed).
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    // Replaces the table with the file's lines. CR LF, a lone CR and a lone LF each end a
    // line; a last line without terminator is a line. A file saved as UTF-8 by an editor (it
    // starts with the byte-order mark and is UTF-8 throughout) is shown as well as CP932 can
    // show it and may not be changed (Utf8); a mark before CP932 text is no part of the first
    // line, and is not written back.
    LoadResult load(const QString &path);

    // Writes lines 0 to lastIndex(), each followed by CR LF, to a new file that then takes the
    // place of the old one, so that a save that fails leaves the old file whole. Creates the
    // file's folder when it is missing. Where another program holding the old file open keeps
    // it from being replaced (Windows), the save is tried again for up to ReplaceWaitMs,
    // whileWaiting called between tries; then HeldOpen.
    static constexpr int ReplaceWaitMs = 3000;
    std::optional<Error> save(const QString &path, const std::function<void()> &whileWaiting = {}) const;

    // Why the table must not be changed and saved now, or nothing when it may. A table whose
    // file could not be read, or did not fit, would overwrite what it never saw.
    std::optional<Error> refusal() const { return problem_; }

    // Each returns false, leaving the table as it was, for an index outside 0 to lastIndex()
    // (replace, remove) or a full table (append).
    bool replace(int k, const QByteArray &line);
    bool append(const QByteArray &line);
    bool remove(int k);

    int lastIndex() const { return lastIndex_; }
    int size() const { return lastIndex_ + 1; }
    bool contains(int k) const { return k >= 0 && k <= lastIndex_; }
    // Line k, or an empty line for an index outside the table.
    QByteArray line(int k) const { return contains(k) ? lines_[k] : QByteArray(); }

    // Splits file contents into lines (exposed for the tests and the benchmark). Returns the
    // number of lines in the data; only the first Capacity are stored.
    qsizetype parse(const QByteArray &data);
    QByteArray serialise() const;

private:
    std::optional<Error> saveOnce(const QString &path) const;

    std::array<QByteArray, Capacity> lines_;
    int lastIndex_ = -1;
    std::optional<Error> problem_; // the last load's failure, if it failed
};

} // namespace catalogue
