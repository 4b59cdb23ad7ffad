#pragma once

#include <QString>

// A line of text for a person reading a command-line program's output. On Linux it goes out in
// the locale's encoding, as every other program's. On Windows a console gets it as Unicode (the
// ANSI code page may lack the Japanese), and a pipe or file gets UTF-8, which holds every name.
namespace platform {

enum class Stream { Out, Err };
void writeLine(Stream stream, const QString &text);

} // namespace platform
