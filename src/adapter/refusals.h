#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What an emulator says when it will not run a game, told to the player in Japanese: the
// emulator's own output is kept back (sound and video libraries chatter on every start), and
// only the lines that explain a refusal are said, each after a sentence of ours.
namespace adapter {

// Our sentence for a line of openMSX's or MAME's that explains a refusal; empty for a line that
// explains none.
QString refusalWords(const QString &line);

// The output of a run, kept back line by line (the last lines only).
class OutputWatch
{
public:
    void take(const QByteArray &line);
    struct Line
    {
        bool ours = false; // our sentence, else the emulator's own line
        QString text;
    };
    // What to say of a run that ended with that status: nothing for a run that went well, else
    // each explaining line as our sentence followed by the emulator's own line (the last lines
    // of its output when none explains). status is made a failure when a refusal was seen.
    QList<Line> report(int *status) const;

private:
    QStringList last_;
    QStringList refusals_;
};

} // namespace adapter
