// Saves the catalogue over and over, switching between two different contents, until it is
// killed. The crash test kills it at random moments and looks at what is left on disk.
//
//   save_driver PATH
#include "catalogue/line_table.h"

#include <QByteArray>
#include <QString>

#include <cstdio>

QByteArray contentA()
{
    QByteArray data;
    for (int i = 0; i < 1001; ++i)
        data += "game A " + QByteArray::number(i) + ",ROM,1986,maker,1000,description,a" + QByteArray::number(i)
                + ",-cart a.rom\r\n";
    return data;
}

QByteArray contentB()
{
    QByteArray data;
    for (int i = 0; i < 400; ++i)
        data += "game B " + QByteArray::number(i) + ",DISK,,,,,b,-flop b.dsk\r\n";
    return data;
}

#ifndef TARUMIN_NO_DRIVER_MAIN
int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    catalogue::LineTable a;
    catalogue::LineTable b;
    a.parse(contentA());
    b.parse(contentB());
    for (unsigned long n = 0;; ++n) {
        if (const auto error = (n % 2 ? b : a).save(path)) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(error->system.text));
            return 1;
        }
        if (n == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
#endif
