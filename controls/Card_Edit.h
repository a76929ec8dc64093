#pragma once
// The card canvas: holds the card's layout and folder, reads and writes
// Card.crd, and shows the composed card (pictures under the background).
// Text boxes are separate controls laid over it by the design surface.

#include "card/card_compose.h"
#include "card/card_layout.h"
#include "controls/image.h"

#include <QString>

class TCard_Edit : public TImage {
    Q_OBJECT
public:
    explicit TCard_Edit(QWidget *parent = nullptr);

    // Held by value; callers copy it, change the copy and hand it to SetLayout.
    CardLayout Layout;

    // The card folder, ending in a path separator; file names in the layout
    // are appended to it. Setting it trims characters of code 32 or less.
    QString Pic_Path() const { return m_picPath; }
    void SetPic_Path(const QString &path);

    // Stores `newLayout`; recomposes only when a field the image depends on changed.
    void SetLayout(const CardLayout &newLayout);
    // Reads the folder's Card.crd (or writes a default one) and composes;
    // nothing changes unless both succeed. `backgroundPath` is the full path
    // of the card's template.bmp.
    void LoadLayout(const QString &backgroundPath);
    // Shows a card read beforehand (LoadCard): its layout and composed picture.
    void ShowCard(const CardLayout &layout, const QImage &card);
    // Writes Layout as Card.crd into the folder of `backgroundPath`.
    void SaveLayout(const QString &backgroundPath) const;
    // Rebuilds the picture from Layout and the files in Pic_Path. With no
    // background named it does nothing; on any error (unusable card size,
    // unreadable picture) it raises ECardError and keeps size and picture.
    void Compose();

    // A sentence drawn on the blank canvas while no card is shown, saying
    // what to do; empty draws nothing.
    void SetHint(const QString &hint);
    // The hint as it is drawn now: empty while a card is shown.
    QString ShownHint() const;

protected:
    void PictureChanged() override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // A screen reader hears the card's size, or the hint while there is no card.
    void DescribeForScreenReader();

    QString m_picPath;
    QString m_hint;
};
