// Makes random changes to a catalogue through the catalogue file, as one copy of the program
// would, and reports each: the concurrency test runs two of these on the same file at once.
//
//   change_driver PATH TAG COUNT SEED
//   change_driver PATH hold          (takes the catalogue's lock, says "locked", keeps it)
// Prints for each change made "ADD <name>", "DEL <name>" (a replace is a DEL and an ADD) and
// "DONE", or for each change refused "REFUSED <kind> <name>" with the name it would have added.
#include "catalogue/catalogue_file.h"
#include "catalogue/record.h"

#include <QLockFile>
#include <QRandomGenerator>
#include <QThread>
#include <QString>

#include <cstdio>
#include <memory>

namespace {

QByteArray lineNamed(const QByteArray &name)
{
    return name + ",ROM,1987,maker,,a description with, a comma in field 8?,snap,-cart " + name + ".rom";
}

const char *kindName(catalogue::Error::Kind kind)
{
    switch (kind) {
    case catalogue::Error::Kind::LineChanged: return "changed";
    case catalogue::Error::Kind::Busy: return "busy";
    case catalogue::Error::Kind::Full: return "full";
    default: return "failed";
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && QByteArray(argv[2]) == "hold") {
        QLockFile lock(QString::fromLocal8Bit(argv[1]) + QStringLiteral(".lock"));
        if (!lock.lock())
            return 1;
        std::puts("locked");
        std::fflush(stdout);
        QThread::sleep(60);
        return 0;
    }
    if (argc != 5)
        return 2;
    const catalogue::CatalogueFile file(QString::fromLocal8Bit(argv[1]));
    const QByteArray tag = argv[2];
    const int count = atoi(argv[3]);
    QRandomGenerator random(quint32(atoi(argv[4])));
    const auto table = std::make_unique<catalogue::LineTable>();
    for (int n = 0; n < count; ++n) {
        // Choose as a user would: from the list as it was read a moment ago.
        file.load(*table);
        const QByteArray name = tag + QByteArray::number(n);
        const int choice = random.bounded(3);
        const int k = table->size() > 0 ? random.bounded(table->size()) : -1;
        const QByteArray chosen = table->line(k);
        const QByteArray chosenName = catalogue::gameNameOf(chosen).toByteArray();
        // The user takes a moment between seeing the list and the click.
        QThread::usleep(random.bounded(2000));
        std::optional<catalogue::Error> error;
        if (choice == 0 || k < 0) {
            error = file.append({lineNamed(name)});
            if (!error)
                std::printf("ADD %s\n", name.constData());
        } else if (choice == 1) {
            error = file.replace(k, chosen, lineNamed(name));
            if (!error)
                std::printf("DEL %s\nADD %s\n", chosenName.constData(), name.constData());
        } else {
            error = file.remove(k, chosen);
            if (!error)
                std::printf("DEL %s\n", chosenName.constData());
        }
        if (error)
            std::printf("REFUSED %s %s\n", kindName(error->kind), name.constData());
        else
            std::puts("DONE");
    }
    return 0;
}
