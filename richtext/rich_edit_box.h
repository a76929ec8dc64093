#pragma once
// The card's rich-text box: an editor for one text slot of the card, lying
// over the card picture. Only its text is drawn (no frame, no ground), so the
// card shows through; the user edits in place, and formats the selection with
// the box's own dialog, reached by double-click or the context menu.
//
// The box holds its content as RTF on disk (LoadFromFile, SaveToFile) and
// renders it into a twips rectangle of any paint device for the finished card
// (FormatRange), laid out at that device's resolution.

#include "richtext/twips.h"

#include <QTextEdit>

#include <functional>
#include <optional>

class QPaintDevice;
class QPainter;

class TRichEditBox : public QTextEdit {
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(TRichEditBox *sender)>;

    explicit TRichEditBox(QWidget *parent = nullptr);

    // Replaces the content with the RTF file's (a file that is not RTF is taken
    // as plain text). On failure the box is left empty and `error` (when given)
    // holds a message for the user.
    [[nodiscard]] bool LoadFromFile(const QString &fileName, QString *error = nullptr);
    // The same with the file's bytes read beforehand; `fileName` names them
    // in the message.
    [[nodiscard]] bool LoadFromBytes(const QByteArray &data, const QString &fileName, QString *error = nullptr);

    // Writes the content as RTF, replacing the file only once the new one is
    // completely written. On failure the old file is untouched and `error`
    // (when given) holds a message for the user.
    [[nodiscard]] bool SaveToFile(const QString &fileName, QString *error = nullptr) const;

    // Draws the whole content, formatted to the rectangle's width and cut at its
    // lower edge (lines that do not fit completely are left out), into `rect`,
    // in twips measured from the device's top-left corner, at the device's
    // resolution. The first form paints with its own painter, so no other
    // painter may be active on `device`; the second paints with the caller's
    // (in its current coordinates). Returns false when nothing could be drawn.
    bool FormatRange(QPaintDevice *device, const TTwipsRect &rect) const;
    bool FormatRange(QPainter *painter, const TTwipsRect &rect) const;

    // Opens the formatting dialog for the selection (or, with nothing selected,
    // the whole text) and applies what the user chose.
    void ShowFormatDialog();

    // Applies character format changes and, when given, an alignment to the
    // selection's text and paragraphs; with nothing selected, to the whole text
    // and to what is typed next. One undo step.
    void ApplyTextFormat(const QTextCharFormat &changes, std::optional<Qt::Alignment> alignment);

    // The format the dialog starts from: the family, point size, weight,
    // italic and underline that the selection's text (or the whole text)
    // has throughout, each set to the value in effect; one that varies is
    // not set. The colour is the first character's.
    QTextCharFormat FormatForDialog() const;

    // Called when the user clicks the box with the left mouse button.
    NotifyEvent OnClick;

    // True for the keys of Undo and Redo (Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y),
    // which the box leaves to its window: the text's steps are part of the
    // card's history, which undoes every kind of edit in order.
    static bool IsHistoryKey(const QKeyEvent *event);

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    // The rich-edit keys: Ctrl+B, Ctrl+I and Ctrl+U switch bold, italic and
    // underline for the selection or what is typed next; Ctrl+L, Ctrl+E,
    // Ctrl+R and Ctrl+J align the paragraph left, centred, right or justified.
    void keyPressEvent(QKeyEvent *event) override;

private:
    // A freshly loaded text shows its beginning, with the caret there.
    void ShowFromTheTop();

    bool m_pressedInside = false;
};
