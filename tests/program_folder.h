#pragma once

#include "platform/system/program_folder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A program folder of the tests' own: tarumin/ with a catalogue, the pictures and sounds of
// the sample data, and a stand-in mess.exe that writes down how it was started.
class ProgramFolder
{
public:
    // The folder's name holds a blank, as users' folders do.
    explicit ProgramFolder(const QByteArray &catalogue, bool withEmulator = true);

    QString path() const { return root_; }
    QString listPath() const { return platform::ProgramFolder(root_).catalogue(); }
    QByteArray catalogue() const;
    // Writes the catalogue, and an empty file for each game it names by a plain name.
    void setCatalogue(const QByteArray &data) const;

    // Waits for the stand-in emulator's record of its latest start: its working folder, then
    // one argument a line. Empty if it did not start within a few seconds.
    QStringList waitForLaunch(int starts = 1) const;

private:
    QTemporaryDir dir_;
    QString root_;
};

// The catalogue lines given, in CP932, each ended with CR LF.
QByteArray cp932Lines(const QStringList &lines);
