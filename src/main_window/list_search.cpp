#include "list_search.h"
#include "main_window/window_tr.h"

#include "main_window/game_list_model.h"
#include "platform/widgets/controls.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTimer>

namespace {
constexpr int FieldHeight = 22;
const QColor MissColour(0xC0, 0x00, 0x00);
} // namespace

ListSearch::ListSearch(QListView *list, GameListModel *games, Hooks hooks)
    : QObject(list), list_(list), games_(games), hooks_(std::move(hooks))
{
    QWidget *window = list->parentWidget();
    field_ = platform::makeTextBox(window, "Search", QString(),
                                   QRect(list->x() + 2, list->geometry().bottom() - FieldHeight - 1, list->width() - 4, FieldHeight));
    field_->hide();
    field_->setAccessibleName(WindowTr::tr("ゲームを名前で探す。Enter キーで起動、Esc キーで閉じる"));
    // Said inside the field's right end when nothing matches what was typed.
    miss_ = new QLabel(WindowTr::tr("見つかりません"), field_);
    miss_->setObjectName(QStringLiteral("SearchMiss"));
    {
        // A colour of its own through the palette: a style sheet would bring in Qt's whole
        // style-sheet machinery at every start, for one word that is seldom shown.
        QPalette pal = miss_->palette();
        pal.setColor(QPalette::WindowText, MissColour);
        miss_->setPalette(pal);
    }
    miss_->adjustSize();
    miss_->move(field_->width() - miss_->width() - 6, (field_->height() - miss_->height()) / 2);
    miss_->hide();
    field_->installEventFilter(this);
    connect(field_, &QLineEdit::textEdited, this, [this] { find(chosenRow(), 1); });
}

int ListSearch::chosenRow() const
{
    const int line = hooks_.chosenLine();
    return line < 0 ? -1 : games_->rowOf(line);
}

void ListSearch::open(const QString &typed)
{
    field_->setText(typed);
    miss_->hide();
    // The list's rows end above the field while it is open, so that the game found is seen.
    list_->setStyleSheet(QStringLiteral("QListView { padding-bottom: %1px; }").arg(field_->height()));
    field_->show();
    field_->raise();
    field_->setFocus();
    if (!typed.isEmpty())
        find(chosenRow(), 1);
}

void ListSearch::close()
{
    field_->hide();
    field_->clear();
    miss_->hide();
    list_->setStyleSheet(QString());
    list_->setFocus();
}

void ListSearch::find(int from, int step)
{
    if (!ready_) {
        // The rows as the list shows them, in its order.
        QList<std::pair<QString, QString>> rows;
        rows.reserve(games_->rowCount());
        for (int row = 0; row < games_->rowCount(); ++row)
            rows.append(hooks_.texts(games_->lineAt(row)));
        search_.setRows(rows);
        ready_ = true;
    }
    // From the chosen game on, round the list either way; from the top when none is chosen.
    const int row = search_.find(field_->text(), hooks_.chosenLine() < 0 ? 0 : from, step);
    const bool miss = row < 0 && !field_->text().trimmed().isEmpty();
    miss_->setVisible(miss);
    field_->setAccessibleDescription(miss ? miss_->text() : QString());
    if (row >= 0 && row != chosenRow())
        hooks_.choose(games_->lineAt(row));
    if (row >= 0)
        list_->scrollTo(games_->index(row), QAbstractItemView::EnsureVisible);
}

bool ListSearch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        switch (keyEvent->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!keyEvent->isAutoRepeat()) {
                close();
                hooks_.start();
            }
            return true;
        case Qt::Key_Escape: close(); return true;
        case Qt::Key_Down: find(chosenRow() + 1, 1); return true;
        case Qt::Key_Up: find(chosenRow() - 1, -1); return true;
        default: break;
        }
    }
    if (watched == field_ && event->type() == QEvent::FocusOut && field_->text().isEmpty())
        QTimer::singleShot(0, this, [this] { if (!field_->hasFocus()) field_->hide(); });
    return QObject::eventFilter(watched, event);
}
