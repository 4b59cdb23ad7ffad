#include "main_window/game_list_model.h"
#include "player/player_store.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(data) == data.size());
}

QJsonObject fileObject(const QString &path)
{
    return QJsonDocument::fromJson(readAll(path)).object();
}

QString sha1Key(const QByteArray &content)
{
    return QStringLiteral("sha1:") + QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex());
}

player::Store::Change favourite(const QString &path)
{
    return {player::GameKey{QString(), path, -1, -1}, QString(), [](QJsonObject &g) { g.insert(QStringLiteral("favourite"), true); }};
}

} // namespace

class TestPlayer : public QObject
{
    Q_OBJECT
private slots:
    // What the file holds when the program starts, and what becomes of it.
    void startingFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("asidePrefix"); // empty: read as it is
        QTest::addColumn<bool>("unknownKept");
        QTest::newRow("none") << QByteArray() << QString() << false;
        QTest::newRow("damaged") << QByteArray("{\"format\": \"tarumin-pla") << QStringLiteral("player.json.damaged-") << false;
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n", 8) << QStringLiteral("player.json.damaged-") << false;
        QTest::newRow("another program's") << QByteArray("{\"theme\": \"dark\"}") << QStringLiteral("player.json.not-ours-") << false;
        QTest::newRow("a newer version's")
            << QByteArray("{\"format\":\"tarumin-player\",\"version\":7,\"cloud\":{\"id\":5},"
                          "\"games\":{\"path:/gone.rom\":{\"path\":\"/gone.rom\",\"plays\":2,\"rating\":5}}}")
            << QString() << true;
    }
    void startingFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, asidePrefix);
        QFETCH(bool, unknownKept);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("player.json"));
        if (!content.isEmpty())
            writeFile(path, content);
        {
            player::Store store(dir.path());
            const std::optional<QString> aside = store.load();
            QCOMPARE(aside.has_value(), !asidePrefix.isEmpty());
            if (aside) {
                QVERIFY2(aside->startsWith(asidePrefix), qPrintable(*aside));
                QCOMPARE(readAll(dir.filePath(*aside)), content); // kept as it was, byte for byte
                QVERIFY(store.games().isEmpty());
            }
            store.change(favourite(dir.filePath(QStringLiteral("a.rom"))));
            store.change({{}, QStringLiteral("list"), [](QJsonObject &l) { l.insert(QStringLiteral("order"), QStringLiteral("name")); }});
            store.flush();
        }
        player::Store again(dir.path());
        QVERIFY(!again.load());
        const player::GameRecord *a = again.find(QString(), dir.filePath(QStringLiteral("a.rom")));
        QVERIFY(a && a->favourite);
        QCOMPARE(again.section(QStringLiteral("list")).value(QLatin1String("order")).toString(), QStringLiteral("name"));
        const QJsonObject root = fileObject(path);
        if (unknownKept) {
            // Read as far as it is understood, and never written back smaller.
            QCOMPARE(root.value(QLatin1String("version")).toInt(), 7);
            QCOMPARE(root.value(QLatin1String("cloud")).toObject().value(QLatin1String("id")).toInt(), 5);
            const QJsonObject gone = root.value(QLatin1String("games")).toObject().value(QLatin1String("path:/gone.rom")).toObject();
            QCOMPARE(gone.value(QLatin1String("rating")).toInt(), 5);
            QCOMPARE(again.find(QString(), QStringLiteral("/gone.rom"))->plays, 2);
        }
    }

    // Two windows on one folder: each writes its own change to the file as it is then.
    void twoWritersKeepEachOthersChanges()
    {
        QTemporaryDir dir;
        player::Store first(dir.path()), second(dir.path());
        QVERIFY(!first.load() && !second.load());
        for (int i = 0; i < 20; ++i) {
            first.change(favourite(dir.filePath(QStringLiteral("first%1.rom").arg(i))));
            second.change(favourite(dir.filePath(QStringLiteral("second%1.rom").arg(i))));
        }
        first.flush();
        second.flush();
        player::Store reader(dir.path());
        QVERIFY(!reader.load());
        QCOMPARE(reader.games().size(), 40);
    }

    // A game is known by its file's SHA-1: moved, relinked or named by two lines, it keeps what
    // was remembered; a file that is not there is known by its path.
    void gamesAreKnownByTheirFiles()
    {
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("old/game.rom")), moved = dir.filePath(QStringLiteral("new/game.rom"));
        QDir().mkpath(dir.filePath(QStringLiteral("old")));
        QDir().mkpath(dir.filePath(QStringLiteral("new")));
        writeFile(old, "game bytes");
        player::Store store(dir.path());
        store.load();
        store.change(favourite(old));
        store.change(favourite(dir.filePath(QStringLiteral("missing.rom"))));
        store.flush();
        QTRY_VERIFY(store.games().contains(sha1Key("game bytes")));
        QVERIFY(store.games().contains(QStringLiteral("path:") + dir.filePath(QStringLiteral("missing.rom"))));

        QVERIFY(QFile::rename(old, moved));
        writeFile(dir.filePath(QStringLiteral("other.rom")), "other bytes");
        const QStringList files{moved, dir.filePath(QStringLiteral("other.rom")), moved, dir.filePath(QStringLiteral("missing.rom"))};
        const QStringList keys = player::identify(files, store.games());
        QCOMPARE(keys, (QStringList{sha1Key("game bytes"), QString(), sha1Key("game bytes"),
                                    QStringLiteral("path:") + dir.filePath(QStringLiteral("missing.rom"))}));
        // The missing game's file comes back: what was remembered by its path moves to its key.
        writeFile(dir.filePath(QStringLiteral("missing.rom")), "found again");
        store.change({player::GameKey{QString(), dir.filePath(QStringLiteral("missing.rom")), -1, -1}, QString(),
                      [](QJsonObject &g) { g.insert(QStringLiteral("plays"), 1); }});
        store.flush();
        QTRY_VERIFY(store.games().contains(sha1Key("found again")));
        QVERIFY(store.games()[sha1Key("found again")].favourite);
        QCOMPARE(store.games().size(), 2);
    }

    // The list's orders and filters: ties and what an order cannot place stay in the file's order.
    void ordersAndFilters_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QList<int>>("lines");
        using O = GameListModel::Order;
        using F = GameListModel::Filter;
        QTest::newRow("file") << int(O::File) << int(F::All) << QList<int>{0, 1, 2, 3, 4};
        // Katakana as hiragana, full width as half: アイス, あいす2, ｳﾐ, うみ10 ... numbers as numbers.
        QTest::newRow("name") << int(O::Name) << int(F::All) << QList<int>{2, 1, 4, 3, 0};
        QTest::newRow("year") << int(O::Year) << int(F::All) << QList<int>{4, 0, 3, 1, 2};
        QTest::newRow("recent") << int(O::Recent) << int(F::All) << QList<int>{3, 1, 0, 2, 4};
        QTest::newRow("most played") << int(O::MostPlayed) << int(F::All) << QList<int>{1, 3, 0, 2, 4};
        QTest::newRow("favourites first") << int(O::FavouritesFirst) << int(F::All) << QList<int>{1, 4, 0, 2, 3};
        QTest::newRow("only favourites") << int(O::File) << int(F::Favourites) << QList<int>{1, 4};
        QTest::newRow("disks by name") << int(O::Name) << int(F::Disk) << QList<int>{2, 0};
        QTest::newRow("tapes") << int(O::File) << int(F::Tape) << QList<int>{3};
        QTest::newRow("cartridges") << int(O::File) << int(F::Cartridge) << QList<int>{1, 4};
        QTest::newRow("files there") << int(O::File) << int(F::Present) << QList<int>{0, 2, 3, 4};
    }
    void ordersAndFilters()
    {
        QFETCH(int, order);
        QFETCH(int, filter);
        QFETCH(QList<int>, lines);
        using Media = catalogue::Media;
        GameListModel model;
        model.setGames({
            {QStringLiteral("うみ10"), {}, GameListModel::yearOf(QStringLiteral("１９８６年")), Media::Disk},
            {QStringLiteral("あいす2"), {}, GameListModel::yearOf(QStringLiteral("1987/10")), Media::Cartridge},
            {QStringLiteral("アイス"), {}, -1, Media::Disk},
            {QStringLiteral("うみ9"), {}, GameListModel::yearOf(QStringLiteral("1986")), Media::Tape},
            {QStringLiteral("ｳﾐ"), {}, 1983, Media::Cartridge},
        });
        model.setMissing({false, true});
        model.setMarks({{false, 2, 100}, {true, 9, 300}, {false, 0, 0}, {false, 5, 400}, {true, 0, 0}});
        model.setOrder(GameListModel::Order(order));
        model.setFilter(GameListModel::Filter(filter));
        QList<int> shown;
        for (int row = 0; row < model.rowCount(); ++row) {
            shown << model.lineAt(row);
            QCOMPARE(model.rowOf(model.lineAt(row)), row);
            QCOMPARE(model.index(row).data(GameListModel::LineRole).toInt(), model.lineAt(row));
        }
        QCOMPARE(shown, lines);
        QCOMPARE(model.rowOf(99), -1);
    }
};

QTEST_GUILESS_MAIN(TestPlayer)
#include "test_player.moc"
