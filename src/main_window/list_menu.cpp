#include "list_menu.h"
#include "main_window/window_tr.h"

#include "main_window/player_data.h"
#include "messages/messages.h"
#include "platform/widgets/message_box.h"

#include <QAction>
#include <QActionGroup>
#include <QListView>
#include <QMenu>
#include <QShortcut>

namespace {

using Order = GameListModel::Order;
using Filter = GameListModel::Filter;

// The orders and filters as the menu names them and the player's data keeps them.
struct Choice
{
    const char *text; // translated when shown
    const char *stored;
};
const std::pair<Order, Choice> Orders[] = {
    {Order::File, {QT_TRANSLATE_NOOP("MainWindow", "リストの順"), "file"}},       {Order::Name, {QT_TRANSLATE_NOOP("MainWindow", "名前順"), "name"}},
    {Order::Year, {QT_TRANSLATE_NOOP("MainWindow", "発売年順"), "year"}},         {Order::Recent, {QT_TRANSLATE_NOOP("MainWindow", "最近遊んだ順"), "recent"}},
    {Order::MostPlayed, {QT_TRANSLATE_NOOP("MainWindow", "よく遊んだ順"), "plays"}}, {Order::FavouritesFirst, {QT_TRANSLATE_NOOP("MainWindow", "お気に入りを先に"), "favourites"}},
};
const std::pair<Filter, Choice> Filters[] = {
    {Filter::All, {QT_TRANSLATE_NOOP("MainWindow", "すべて"), "all"}},     {Filter::Favourites, {QT_TRANSLATE_NOOP("MainWindow", "お気に入りだけ"), "favourites"}},
    {Filter::Cartridge, {QT_TRANSLATE_NOOP("MainWindow", "ROM"), "rom"}},  {Filter::Disk, {QT_TRANSLATE_NOOP("MainWindow", "ディスク"), "disk"}},
    {Filter::Tape, {QT_TRANSLATE_NOOP("MainWindow", "テープ"), "tape"}},   {Filter::Present, {QT_TRANSLATE_NOOP("MainWindow", "ファイルのあるものだけ"), "present"}},
};

// Named in both languages, so that a user who cannot read the one shown finds the other.
const std::pair<const char16_t *, const char *> Languages[] = {
    {u"自動 / Auto", "auto"}, {u"日本語", "ja"}, {u"English", "en"}};

} // namespace

GameListMenu::GameListMenu(QListView *list, GameListModel *games, PlayerData *player, Commands commands)
    : QObject(list), list_(list), games_(games), player_(player), commands_(std::move(commands))
{
    const auto action = [this](const char *name, const QString &text, const QKeySequence &keys, auto slot) {
        auto *a = new QAction(text, list_);
        a->setObjectName(QLatin1String(name));
        if (!keys.isEmpty()) {
            a->setShortcut(keys);
            a->setShortcutContext(Qt::WidgetShortcut);
            list_->addAction(a);
        }
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    favourite_ = action("Favourite", WindowTr::tr("お気に入り"), QKeySequence(Qt::CTRL | Qt::Key_D),
                        [this] { player_->toggleFavourite(commands_.chosenLine()); });
    favourite_->setCheckable(true);
    resume_ = action("Resume", WindowTr::tr("続きから遊ぶ"), QKeySequence(Qt::CTRL | Qt::Key_Return), [this] { resume(); });
    removeState_ = action("RemoveState", WindowTr::tr("状態を消す"), {}, [this] { player_->removeState(commands_.chosenLine()); });
    forgetMachine_ = action("ForgetMachine", WindowTr::tr("機種の設定を元に戻す"), {},
                            [this] { player_->forgetMachine(commands_.chosenLine()); });
    edit_ = action("EditGame", WindowTr::tr("編集"), QKeySequence(Qt::Key_F2), [this] { commands_.edit(); });
    remove_ = action("DeleteGame", WindowTr::tr("削除"), {}, [this] { commands_.remove(); });
    remove_->setShortcut(QKeySequence(Qt::Key_Delete)); // shown; the list's own key does it
    remove_->setShortcutContext(Qt::WidgetShortcut);
    // One checkable item a choice, one of them checked at a time.
    const auto choices = [this](const auto &table, auto choose) {
        auto *group = new QActionGroup(this);
        QList<QAction *> actions;
        for (const auto &[value, choice] : table) {
            QAction *a = group->addAction(WindowTr::tr(choice.text));
            a->setCheckable(true);
            a->setData(QLatin1String(choice.stored));
            connect(a, &QAction::triggered, this, [choose, v = value] { choose(v); });
            actions << a;
        }
        return actions;
    };
    auto *languageGroup = new QActionGroup(this);
    QString language = player_->setting(QStringLiteral("language"));
    if (language != QLatin1String("ja") && language != QLatin1String("en"))
        language = QStringLiteral("auto");
    for (const auto &[text, stored] : Languages) {
        QAction *a = languageGroup->addAction(QString::fromUtf16(text));
        a->setCheckable(true);
        a->setChecked(language == QLatin1String(stored));
        connect(a, &QAction::triggered, this, [this, value = QLatin1String(stored)] {
            player_->setSetting(QStringLiteral("language"), value);
            platform::showMessage(list_->window(), messages::languageAtNextStart());
        });
        languages_ << a;
    }
    orders_ = choices(Orders, [this](Order o) { setOrder(o); });
    filters_ = choices(Filters, [this](Filter f) { setFilter(f); });
    // The order and the filter chosen last time.
    const QString order = player_->listSetting(QStringLiteral("order"));
    const QString filter = player_->listSetting(QStringLiteral("filter"));
    for (const auto &[o, choice] : Orders)
        if (order == QLatin1String(choice.stored))
            games_->setOrder(o);
    for (const auto &[f, choice] : Filters)
        if (filter == QLatin1String(choice.stored))
            games_->setFilter(f);

    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, &GameListMenu::show);
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), list_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] {
        const QModelIndex current = games_->index(games_->rowOf(commands_.chosenLine()));
        show(current.isValid() ? list_->visualRect(current).center() : QPoint(8, 8));
    });
    update();
}

void GameListMenu::resume()
{
    if (const QString state = player_->stateOf(commands_.chosenLine()); !state.isEmpty() && resume_->isEnabled())
        commands_.playFrom(state);
}

void GameListMenu::update()
{
    const int line = commands_.chosenLine();
    const bool chosen = line >= 0;
    const player::GameRecord *record = player_->record(line);
    favourite_->setEnabled(chosen && !player_->fileOf(line).isEmpty());
    favourite_->setChecked(record && record->favourite);
    resume_->setEnabled(chosen && !player_->stateOf(line).isEmpty());
    removeState_->setEnabled(resume_->isEnabled());
    forgetMachine_->setEnabled(record && !record->machine.isEmpty());
    edit_->setEnabled(chosen);
    remove_->setEnabled(chosen);
    orders_[int(games_->order())]->setChecked(true);
    filters_[int(games_->filter())]->setChecked(true);
}

QMenu *GameListMenu::make(QWidget *parent)
{
    update();
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("ListMenu"));
    menu->addActions({favourite_, resume_, removeState_, forgetMachine_});
    menu->addSeparator();
    QMenu *orders = menu->addMenu(WindowTr::tr("並べ方"));
    orders->setObjectName(QStringLiteral("Order"));
    orders->addActions(orders_);
    QMenu *filters = menu->addMenu(WindowTr::tr("絞り込み"));
    filters->setObjectName(QStringLiteral("Filter"));
    filters->addActions(filters_);
    QMenu *languages = menu->addMenu(QStringLiteral("言語 / Language"));
    languages->setObjectName(QStringLiteral("Language"));
    languages->addActions(languages_);
    menu->addSeparator();
    menu->addActions({edit_, remove_});
    return menu;
}

void GameListMenu::show(const QPoint &at)
{
    QMenu *menu = make(list_->window());
    menu->exec(list_->viewport()->mapToGlobal(at));
    menu->deleteLater();
}

void GameListMenu::setOrder(GameListModel::Order order)
{
    commands_.rearrange([this, order] { games_->setOrder(order); });
    player_->setListSetting(QStringLiteral("order"), orders_[int(order)]->data().toString());
    update();
}

void GameListMenu::setFilter(GameListModel::Filter filter)
{
    commands_.rearrange([this, filter] { games_->setFilter(filter); });
    player_->setListSetting(QStringLiteral("filter"), filters_[int(filter)]->data().toString());
    update();
}

