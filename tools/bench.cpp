// Prints how long the catalogue's hot paths take on a full (1001-line) catalogue with
// snapshots. Not a test: figures to read, not to pass or fail.
//
//   QT_QPA_PLATFORM=offscreen build/tarumin-bench [rounds]
#include "catalogue/catalogue_file.h"
#include "catalogue/line_table.h"
#include "main_window/main_window.h"
#include "main_window/game_list_model.h"
#include "onboarding/batch.h"
#include "platform/system/codepage.h"
#include "platform/system/modules.h"
#include "platform/system/program_folder.h"
#include "platform/widgets/mci_control.h"
#include "platform/widgets/message_box.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QByteArray fullCatalogue()
{
    QByteArray data;
    for (int i = 0; i < 1001; ++i) {
        const QString line = QStringLiteral("ゲーム%1 ～星の海を越えて～,ROM,198%2年%3月,メーカー%1,%1円,"
                                            "宇宙を駆ける横スクロールシューティング。パワーカプセルを集めて自機を強化しよう。,"
                                            "snap%4,-cart snap%4.rom")
                                 .arg(i).arg(i % 10).arg(i % 12 + 1).arg(i % 20);
        data += platform::encodeCp932(line).value() + "\r\n";
    }
    return data;
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
}

// Median of the rounds, in milliseconds.
double measure(int rounds, const std::function<void()> &prepare, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char *what, double ms, double target = 0)
{
    if (target <= 0)
        std::printf("%-44s %8.3f ms\n", what, ms);
    else
        std::printf("%-44s %8.3f ms   (target %.0f ms%s)\n", what, ms, target,
                    ms <= target ? "" : ", MISSED");
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 51;
    platform::MciControl::setAudible(false);
    platform::setMessageHandler([](const QString &) {});
    platform::setQuestionHandler([](const QString &) { return true; });

    QTemporaryDir dir;
    const QString folder = dir.path();
    const platform::ProgramFolder programFolder(folder);
    using Picture = platform::ProgramFolder::Picture;
    using Sound = platform::ProgramFolder::Sound;
    QDir().mkpath(programFolder.snapshotFolder());
    QDir().mkpath(QFileInfo(programFolder.picture(Picture::StandBy)).absolutePath());
    const QString list = programFolder.catalogue();
    const QByteArray data = fullCatalogue();
    writeFile(list, data);
    const platform::ProgramFolder sample(QStringLiteral(SOURCE_DIR "/sample"));
    for (int i = 0; i < 20; ++i)
        QFile::copy(sample.snapshotCandidates(QStringLiteral("hoshikaze")).first(),
                    programFolder.snapshotCandidates(QStringLiteral("snap%1").arg(i)).first());
    QFile::copy(sample.picture(Picture::StandBy), programFolder.picture(Picture::StandBy));

    std::printf("Catalogue: 1001 lines, %lld bytes; median of %d rounds\n",
                static_cast<long long>(data.size()), rounds);

    catalogue::LineTable table;
    report("load (read and split into lines)", measure(rounds, {}, [&] { table.load(list); }), 2);
    report("atomic save (write, sync, rename)", measure(rounds, {}, [&] { table.save(list); }), 5);
    const catalogue::CatalogueFile file(list);
    // Line 500 goes back and forth between two texts, so that every round writes.
    const QByteArray middle[2] = {table.line(500), table.line(500) + " (edited)"};
    int turn = 0;
    report("locked change: lock, read, check, save", measure(rounds, {}, [&] {
               if (file.replace(500, middle[turn], middle[1 - turn]))
                   std::puts("locked change failed");
               turn = 1 - turn;
           }), 5);

    {
        // The first window of a run also pays for plugins, fonts and pictures.
        QElapsedTimer t;
        t.start();
        MainWindow first(folder);
        first.show();
        QCoreApplication::processEvents();
        first.grab();
        std::printf("%-44s %8.3f ms\n", "first main window: build, show, paint", t.nsecsElapsed() / 1e6);
    }
    report("later main window: build, show, paint",
           measure(rounds, {}, [&] {
               MainWindow w(folder);
               w.show();
               QCoreApplication::processEvents();
               w.grab();
           }));

    MainWindow form(folder);
    form.show();
    QCoreApplication::processEvents();
    auto *listBox = form.findChild<QListView *>(QStringLiteral("List1"));
    const auto chooseRow = [listBox](int row) { listBox->setCurrentIndex(listBox->model()->index(row, 0)); };
    auto *deleteButton = form.findChild<QPushButton *>(QStringLiteral("Sakujyo_bot"));

    report("load + fill the game list (activation)", measure(rounds, {}, [&] { form.activate(); }), 2);

    {
        // Each keystroke in the search field finds the next game whose title or description
        // holds what was typed, folded.
        auto *search = form.findChild<QLineEdit *>(QStringLiteral("Search"));
        const QString typed = QStringLiteral("げーむ9");
        auto type = [&](QChar c) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(search, &key);
        };
        report("find by typing: first keystroke (folds 1001 games)",
               measure(rounds, [&] { search->clear(); form.activate(); }, [&] { type(typed.at(0)); }), 5);
        report("find by typing: a later keystroke",
               measure(rounds, [&] { search->setText(typed.left(typed.size() - 1)); chooseRow(0); },
                       [&] { type(typed.back()); }), 5);
        QStringList files;
        for (int k = 0; k < form.table().size(); ++k)
            files << onboarding::fileNamedBy(form.table().line(k), programFolder);
        report("look at 1001 game files (off the window's thread)", measure(rounds, {}, [&] { checkGameFiles(files); }));
    }

    int row = 0;
    report("showDetails with a 256x192 GIF snapshot",
           measure(rounds, {}, [&] { chooseRow(row = (row + 37) % 1001); }), 5);

    {
        // The list in another order: by name (collation keys made at the first sort after a
        // read), by when played; each a rebuild of the rows.
        auto *model = qobject_cast<GameListModel *>(listBox->model());
        report("sort 1001 games by name, keys made anew",
               measure(rounds, [&] { model->setOrder(GameListModel::Order::File); form.activate(); },
                       [&] { model->setOrder(GameListModel::Order::Name); }), 5);
        report("sort 1001 games by name again",
               measure(rounds, [&] { model->setOrder(GameListModel::Order::File); },
                       [&] { model->setOrder(GameListModel::Order::Name); }), 5);
        report("sort 1001 games by last played",
               measure(rounds, [&] { model->setOrder(GameListModel::Order::File); },
                       [&] { model->setOrder(GameListModel::Order::Recent); }), 5);
        model->setOrder(GameListModel::Order::File);
    }

    report("delete + save + rebuild",
           measure(rounds,
                   [&] {
                       writeFile(list, data);
                       form.activate();
                       chooseRow(500);
                   },
                   [&] { deleteButton->click(); }),
           10);

    // The first sound loads the sound module and the audio stack; measured once, cold, then warm.
    {
        platform::MciControl::setAudible(true);
        platform::setModuleFolders({QStringLiteral(SOUND_MODULE_DIR)});
        platform::MciControl mci;
        auto sound = [&] {
            mci.setFileName(sample.sound(Sound::Switch));
            mci.setCommand(QStringLiteral("Open"));
            QElapsedTimer t;
            t.start();
            mci.setCommand(QStringLiteral("Sound"));
            return t.nsecsElapsed() / 1e6;
        };
        const double cold = sound();
        report(mci.soundLoaded() ? "first sound: load module, start output" : "first sound (no sound module found)", cold);
        report("later sound", measure(9, {}, [&] { sound(); }));
        mci.setCommand(QStringLiteral("Close"));
        platform::MciControl::setAudible(false);
    }

    // Onboarding: reading the software lists, and identifying 1,000 files of 128 KB (128 MB).
    {
        onboarding::SoftwareLists lists;
        int images = 0;
        report("read every shipped software list", measure(9, [&] { lists = onboarding::SoftwareLists(); },
                                                            [&] { images = lists.loadFolder(sample.softwareLists()); }), 150);
        std::printf("    (%d images)\n", images);
        const QString db = onboarding::SoftwareLists::installedOpenMsxDatabase();
        if (!db.isEmpty())
            report("read openMSX's software database as well", measure(5, {}, [&] { lists.loadOpenMsxDatabase(db); }));
        // What a registration does: the lists and databases once, then from the index kept in
        // the user's cache while no list changes.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("cache"))));
        QElapsedTimer cold;
        cold.start();
        onboarding::loadSoftwareLists(sample);
        std::printf("%-44s %8.3f ms\n", "all lists, first run (index written)", cold.nsecsElapsed() / 1e6);
        report("all lists from the index", measure(9, {}, [&] { onboarding::loadSoftwareLists(sample); }), 10);
        const QString games = programFolder.copiedGames();
        QDir().mkpath(games);
        QByteArray image(128 * 1024, '\0');
        QStringList files;
        for (int i = 0; i < 1000; ++i) {
            memcpy(image.data(), &i, sizeof i);
            files << games + QStringLiteral("/game%1.rom").arg(i, 4, 10, QChar(u'0'));
            writeFile(files.last(), image);
        }
        report("identify 1,000 files, 128 MB in all", measure(3, {}, [&] {
                   onboarding::identify(files, lists, folder);
               }), 1500);
        QDir(games).removeRecursively();
    }

    // A hostile catalogue: one line of 10 MB (no comma for 5 MB, then a long description).
    {
        QByteArray huge = platform::encodeCp932(QStringLiteral("長い")).value();
        huge += QByteArray(5 * 1024 * 1024, 'x') + ",ROM,,,,";
        huge += QByteArray(5 * 1024 * 1024, 'y') + ",snap0,-cart snap0.rom";
        writeFile(list, data.left(data.indexOf('\n') + 1) + huge + "\r\n" + data.mid(data.indexOf('\n') + 1));
        form.activate();
        report("activation with a 10 MB line", measure(9, {}, [&] { form.activate(); }), 100);
        report("select the 10 MB line", measure(9, [&] { chooseRow(0); },
                                                   [&] { chooseRow(1); }), 100);
    }
    return 0;
}
