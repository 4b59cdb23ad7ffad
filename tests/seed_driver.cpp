// Chooses (and at the first time seeds) a program folder, as a start of the program would.
//
//   seed_driver EXECUTABLE_FOLDER PER_USER_FOLDER TEMPLATE ADAPTER
// Prints the kind of folder chosen.
#include "platform/system/paths.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 5)
        return 2;
    const auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
    const auto choice = platform::chooseProgramFolder(arg(1), {arg(2), arg(3), arg(4)});
    std::printf("%d\n", int(choice.kind));
    return 0;
}
