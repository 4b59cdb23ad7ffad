#pragma once

#include "catalogue/record.h"
#include "platform/system/program_folder.h"
#include "player/player_store.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>

class QLabel;
class QWidget;

namespace platform {
class PictureBox;
}

// What the list and the labels show of a line's text: at most ShownBytes of it (a 10 MB line
// must not freeze the window); the line itself is never cut.
QString shownText(QByteArrayView bytes);

// The chosen game's details on the window's right: its snapshot, its media, release, maker,
// price and description under their headings, and how often it was played. Its controls keep
// the original layout's object names: snapshot Picture1; headings Label1 to Label5; values
// Media_L, Hatubai_L, Maker_L, Nedan_L, Kaisetu_L; the plays PlayHistory.
class DetailsPane : public QObject
{
    Q_OBJECT
public:
    DetailsPane(QWidget *window, const platform::ProgramFolder &folder);

    platform::PictureBox *snapshot() const { return snapshot_; }
    // The headings, for the screen reader's words.
    QList<std::pair<QWidget *, QString>> headingNames() const;

    // A game's line (note: a sentence before its description, such as "the file is missing").
    void show(const catalogue::Record &record, const QString &note, const player::GameRecord *played);
    void showPlays(const player::GameRecord *played);
    // Nothing chosen: as at a fresh start.
    void clear();
    // The window moved to a screen of another scale: the built-in picture is read again at it.
    void screenScaleChanged();

private:
    bool showSnapshot(const QString &snapName);
    void showNoPicture();
    void describe();

    platform::ProgramFolder folder_;
    platform::PictureBox *snapshot_;
    bool showingNoPicture_ = false;
    QLabel *mediaHeading, *mediaValue, *releaseHeading, *releaseValue, *makerHeading, *makerValue,
        *priceHeading, *priceValue, *descriptionHeading, *descriptionValue, *playsValue;
};
