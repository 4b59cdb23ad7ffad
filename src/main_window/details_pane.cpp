#include "details_pane.h"
#include "main_window/window_tr.h"

#include "messages/messages.h"
#include "platform/system/codepage.h"
#include "platform/widgets/controls.h"
#include "platform/widgets/picture.h"
#include "platform/widgets/twips.h"

#include <QLabel>

using platform::twips;

namespace {

QString standByDescription()
{
    return WindowTr::tr("選択したゲームの説明が入ります。しかし、ＭＳＸのロムゲームって６００本以上ありましたよね。"
                        "１人で登録するのかぁ。でも、リストはＣＳＶ形式にする予定なので誰でも編集可能にするつもりです。");
}
const QColor White(255, 255, 255);
constexpr qsizetype ShownBytes = 2048;
constexpr double PlaysFontScale = 0.75; // the plays line is a footnote under the snapshot

QImage noPicture(const QWidget *shownOn)
{
    return platform::paletted(
        platform::builtInPicture(QStringLiteral(":/assets/notimage.gif"), "GIF", shownOn->devicePixelRatioF()));
}

} // namespace

QString shownText(QByteArrayView bytes)
{
    if (bytes.size() <= ShownBytes)
        return platform::decodeCp932(bytes);
    QString text = platform::decodeCp932(bytes.first(ShownBytes));
    if (text.endsWith(QChar::ReplacementCharacter)) // a character cut in two
        text.chop(1);
    return text + QChar(0x2026);
}

DetailsPane::DetailsPane(QWidget *window, const platform::ProgramFolder &folder)
    : QObject(window), folder_(folder)
{
    snapshot_ = new platform::PictureBox(window);
    snapshot_->setObjectName(QStringLiteral("Picture1"));
    snapshot_->setGeometry(twips(4440, 165, 3900, 2940));
    snapshot_->setFocusPolicy(Qt::StrongFocus);
    showNoPicture();

    const auto label = [window](const char *name, const QString &text, QRect at) {
        return platform::makeLabel(window, name, text, at, White);
    };
    mediaHeading = label("Label1", WindowTr::tr("メディア"), twips(3840, 3360, 855, 255));
    mediaValue = label("Media_L", QString(), twips(4920, 3360, 3375, 255));
    releaseHeading = label("Label2", WindowTr::tr("発 売 年"), twips(3840, 3720, 855, 255));
    releaseValue = label("Hatubai_L", QString(), twips(4920, 3720, 3375, 255));
    makerHeading = label("Label3", WindowTr::tr("メーカー"), twips(3840, 4080, 855, 255));
    makerValue = label("Maker_L", QString(), twips(4920, 4080, 3375, 255));
    priceHeading = label("Label4", WindowTr::tr("価　　格"), twips(3840, 4440, 855, 255));
    priceValue = label("Nedan_L", QString(), twips(4920, 4440, 3375, 255));
    descriptionHeading = label("Label5", WindowTr::tr("■　ゲ　ー　ム　説　明　■"), twips(5040, 4800, 2175, 255));
    descriptionValue = label("Kaisetu_L", standByDescription(), twips(3840, 5160, 4455, 975));
    // Under the snapshot, right-aligned: how often and how long the chosen game was played.
    playsValue = label("PlayHistory", QString(), twips(3660, 3120, 4680, 225));
    playsValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    playsValue->setWordWrap(false);
    QFont small = playsValue->font();
    small.setPointSizeF(small.pointSizeF() * PlaysFontScale);
    playsValue->setFont(small);
    snapshot_->setAccessibleName(WindowTr::tr("ゲーム画面の写真はありません"));
    describe();
}

QList<std::pair<QWidget *, QString>> DetailsPane::headingNames() const
{
    // The headings as words, without the layout's ornaments and spacing.
    return {{mediaHeading, WindowTr::tr("メディア")}, {releaseHeading, WindowTr::tr("発売年")}, {makerHeading, WindowTr::tr("メーカー")},
            {priceHeading, WindowTr::tr("価格")}, {descriptionHeading, WindowTr::tr("ゲーム説明")}};
}

void DetailsPane::show(const catalogue::Record &record, const QString &note, const player::GameRecord *played)
{
    auto shown = [&record](int i) { return shownText(record.fields[i]); };
    mediaValue->setText(shown(1));
    releaseValue->setText(shown(2));
    makerValue->setText(shown(3));
    priceValue->setText(shown(4));
    descriptionValue->setText(note.isEmpty() ? shown(5) : note + u'\n' + shown(5));
    describe();
    const QString title = shown(0);
    snapshot_->setAccessibleName(showSnapshot(platform::decodeCp932(record.fields[catalogue::SnapNameField]))
                                     ? WindowTr::tr("「%1」の画面写真").arg(title)
                                     : WindowTr::tr("「%1」の画面写真はありません").arg(title));
    showPlays(played);
}

void DetailsPane::showPlays(const player::GameRecord *played)
{
    playsValue->setText(played ? messages::playHistory(played->plays, played->seconds, played->lastPlayed.toLocalTime().date())
                               : QString());
    playsValue->setAccessibleName(playsValue->text());
}

void DetailsPane::showNoPicture()
{
    snapshot_->setPicture(noPicture(snapshot_));
    showingNoPicture_ = true;
}

void DetailsPane::screenScaleChanged()
{
    if (showingNoPicture_)
        showNoPicture();
}

void DetailsPane::clear()
{
    for (QLabel *label : {mediaValue, releaseValue, makerValue, priceValue, playsValue})
        label->clear();
    descriptionValue->setText(standByDescription());
    describe();
    showNoPicture();
    snapshot_->setAccessibleName(WindowTr::tr("ゲーム画面の写真はありません"));
}

void DetailsPane::describe()
{
    // Each value is heard with its heading: "メディア: ROM".
    const std::pair<QLabel *, QString> details[] = {
        {mediaValue, WindowTr::tr("メディア")}, {releaseValue, WindowTr::tr("発売年")}, {makerValue, WindowTr::tr("メーカー")},
        {priceValue, WindowTr::tr("価格")}, {descriptionValue, WindowTr::tr("ゲーム説明")}};
    for (const auto &[label, heading] : details) {
        label->setAccessibleName(label->text().isEmpty() ? heading : heading + QStringLiteral(": ") + label->text());
    }
}

bool DetailsPane::showSnapshot(const QString &snapName)
{
    showingNoPicture_ = false;
    for (const QString &snapshot : folder_.snapshotCandidates(snapName)) {
        if (snapshot_->setPictureFile(snapshot))
            return true;
    }
    if (!snapshot_->setPictureFile(folder_.picture(platform::ProgramFolder::Picture::StandBy)))
        showNoPicture();
    return false;
}
