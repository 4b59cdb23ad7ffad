#include "program_folder.h"

#include "platform/system/codepage.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {
void copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString &name : source.entryList(QDir::Files))
        QFile::copy(source.filePath(name), to + u'/' + name);
    for (const QString &name : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        copyTree(source.filePath(name), to + u'/' + name);
}
} // namespace

ProgramFolder::ProgramFolder(const QByteArray &catalogue, bool withEmulator)
    : root_(dir_.filePath(QStringLiteral("my games")))
{
    copyTree(QStringLiteral(SOURCE_DIR "/sample/tarumin"), root_ + QStringLiteral("/tarumin"));
    setCatalogue(catalogue);
#ifdef RECORD_LAUNCH
    if (withEmulator)
        QFile::copy(QStringLiteral(RECORD_LAUNCH), root_ + QStringLiteral("/mess.exe"));
#else
    if (withEmulator) {
        const QString script = root_ + QStringLiteral("/mess.exe");
        QFile f(script);
        f.open(QIODevice::WriteOnly);
        // Each start appends its working folder and arguments, then a line "--".
        f.write("#!/bin/sh\n"
                "out=\"$(dirname \"$0\")/launches.txt\"\n"
                "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; echo --; } >> \"$out\"\n");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
#endif
}

QByteArray ProgramFolder::catalogue() const
{
    QFile f(listPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void ProgramFolder::setCatalogue(const QByteArray &data) const
{
    QFile f(listPath());
    f.open(QIODevice::WriteOnly);
    f.write(data);
    // The games' files are there (empty), so that they can be started: a plain name after
    // the media option, in the folder itself.
    for (const QByteArray &line : data.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(',');
        if (fields.size() < 8)
            continue;
        const QList<QByteArray> words = fields[7].split(' ');
        if (words.size() == 2 && !words[1].isEmpty() && !words[1].contains('/') && !words[1].contains('\\')
            && !words[1].contains('"')) {
            QFile game(root_ + u'/' + platform::decodeCp932(words[1]));
            if (!game.exists() && game.open(QIODevice::WriteOnly))
                game.close();
        }
    }
}

QStringList ProgramFolder::waitForLaunch(int starts) const
{
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QFile f(root_ + QStringLiteral("/launches.txt"));
        if (f.open(QIODevice::ReadOnly)) {
            const QString all = QString::fromUtf8(f.readAll());
            QStringList records = all.split(QStringLiteral("--\n"), Qt::SkipEmptyParts);
            // Only whole records: the stand-in may be caught halfway through writing one.
            if (all.count(QStringLiteral("--\n")) >= starts) {
                QStringList last = records.at(starts - 1).split(u'\n');
                if (!last.isEmpty() && last.last().isEmpty())
                    last.removeLast();
                return last;
            }
        }
        QTest::qWait(20);
    }
    return {};
}

QByteArray cp932Lines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines)
        out += platform::encodeCp932(line).value() + "\r\n";
    return out;
}
