#pragma once
// The main window: a toolbar of eight commands over the design surface, a
// scroll box holding the card canvas, the picture frames and the
// change-picture button. Split by topic:
//   frm_main.cpp          construction, start-up, closing, error report
//   messages.h            the messages and questions the commands share
//   frm_main_surface.cpp  the design surface (mover, frames, text boxes)
//   frm_main_keyboard.cpp shortcuts, Tab, Escape and the arrow keys
//   frm_main_overflow.cpp the marker on a text box whose text does not fit
//   frm_main_changes.cpp  unsaved changes of the open card, the title bar
//   frm_main_history.cpp  Undo and Redo
//   frm_main_recovery.cpp unsaved changes kept through a crash
//   frm_main_file.cpp     Open, Save, Exit
//   frm_main_help.cpp     Help: the guide (help/tessaly.html) in the help window
//   frm_main_my_cards.cpp My cards, the gallery Open shows
//   frm_main_start.cpp    the empty surface: where cards are, the recent cards
//   frm_main_new.cpp      New card from a template
//   frm_main_picture.cpp  change picture
//   frm_main_print.cpp    Paper Set, Print
//   frm_main_export.cpp   Save As (BMP, JPEG)
//   frm_main_render.cpp   the finished card as a BMP file (exports, Temp.bmp)

#include "card/card_layout.h"
#include "card/card_lock.h"
#include "card/card_painter.h"
#include "controls/dialogs.h"
#include "places/places.h"

#include <QByteArray>
#include <QImage>
#include <QKeyCombination>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QCloseEvent;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;
class TCard_Edit;
class TCardDocument;
class TCardRecovery;
struct TCardElement;
class TFrmHelp;
class TMover;
class TRichEditBox;
class TScrollBox;
class TShape;

class Tfrmmain : public QMainWindow {
    Q_OBJECT
public:
    explicit Tfrmmain(QWidget *parent = nullptr);
    ~Tfrmmain() override;

    // State.
    QString CardPath;        // the open card's template.bmp; empty = no card open
    // The open card: everything shown on the surface, and the only way to
    // change it. Null while no card is open.
    std::unique_ptr<TCardDocument> Document;
    QString LastPictureDir;  // folder of the last picture the user chose
    TMover *Mover = nullptr; // created by the design surface's start-up
    // Where the templates, the guide, the user's cards and Temp.bmp are.
    // Tests point them at a folder of their own.
    const TPlaces &Places() const { return m_places; }
    void SetPlaces(const TPlaces &places);

    // Controls, named as in the form (each also carries its object name).
    QFrame *Panel1 = nullptr;
    QToolButton *BitBtn1 = nullptr;  // New
    QToolButton *BitBtn2 = nullptr;  // Open
    QToolButton *BitBtn3 = nullptr;  // Save
    QToolButton *BitBtn4 = nullptr;  // Save As
    QToolButton *BitBtn5 = nullptr;  // Paper Set
    QToolButton *BitBtn6 = nullptr;  // Print
    QToolButton *BitBtn7 = nullptr;  // Exit
    QToolButton *BitBtn8 = nullptr;  // Help
    QToolButton *UndoButton = nullptr;
    QToolButton *RedoButton = nullptr;
    QPushButton *Button2 = nullptr;  // invisible focus sink
    QFrame *Panel2 = nullptr;
    TScrollBox *ScrollBox1 = nullptr;
    TCard_Edit *Card_Edit1 = nullptr;
    TShape *Shape1 = nullptr;
    TShape *Shape2 = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    TFileDialog OpenDialog1;
    TFileDialog SavePictureDialog;

    // Message boxes, input box and file dialogs go through here; tests
    // replace the Qt boxes with scripted ones.
    TDialogs &Dialogs() { return *m_dialogs; }
    void SetDialogs(std::unique_ptr<TDialogs> dialogs);

    // Runs a command; an error it raises is shown in a message box and the
    // program goes on. Returns false when the command failed.
    bool RunCommand(const std::function<void()> &command);

    // Command handlers, each run through RunCommand by its button.
    void BitBtn1Click();  // New
    void BitBtn2Click();  // Open
    void BitBtn3Click();  // Save
    void BitBtn4Click();  // Save As
    void BitBtn5Click();  // Paper Set
    void BitBtn6Click();  // Print
    void BitBtn7Click();  // Exit
    void BitBtn8Click();  // Help
    void UndoClick();
    void RedoClick();
    void SpeedButton1Click();
    // The keys of the change-picture button, shown in its tooltip.
    static constexpr QKeyCombination ChangePictureKeys{Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_I};

    // Design surface handlers.
    void Card_Edit1Click();
    void Shape1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void TextBoxClick(TRichEditBox *sender);
    void MoverEndMove(QWidget *vControl, bool Moved, QPoint xy);
    void MoverEndResize(QWidget *vControl);
    // Keeps a resized control at least MinControlSide wide and high, so it
    // can still be seen and clicked once deselected.
    void MoverResizing(QWidget *vControl, QRect &vRect, bool &Allow);
    static constexpr int MinControlSide = 8;

    // The design surface (frm_main_surface.cpp).
    // Loads the card named by CardPath. The whole card is read and checked
    // first: when that fails the error is raised on and nothing changes
    // (CardPath names the card still open, or is empty).
    void OpenCardFolder();
    // Shows `document` in place of the open card.
    void ShowDocument(std::unique_ptr<TCardDocument> document);
    void ClearTextBoxes();
    // A box for each of the document's text boxes, editing its text.
    void CreateTextBoxes();
    void PlacePictureFrames();
    // Every box and frame where the document has it.
    void PlaceElements();
    void PlaceSpeedButton1();  // centred under Shape1, touching its lower edge
    void PlaceControl(const SlotRect &rect, QWidget *control);
    SlotRect ControlToCardRect(const QWidget *control) const;
    // The text boxes AEdit0 to AEdit4 that exist, in slot order (the order
    // of the surface's children changes whenever a widget is raised).
    QList<TRichEditBox *> TextBoxes() const;
    // The slot of a text box (a child named "AEdit" and a digit 0 to 4), or -1.
    static int TextBoxSlot(const QObject *child);

    // Unsaved changes (frm_main_changes.cpp): the document's history stands
    // away from where the card was opened or saved.
    bool HasUnsavedChanges() const;
    // Takes the open card as it is now as the saved one.
    void MarkCardSaved();
    // Before the open card goes (closing, Open, New): when it has unsaved
    // changes, asks "Save the Card?" and saves on Yes. False when the user
    // cancelled, and the card must stay. A failed Save raises, which stops
    // the command.
    bool SaveChangesBeforeReplacing();
    // The card's name and a '*' while it has unsaved changes.
    void UpdateTitle();
    // The element a control of the surface stands for; false for another control.
    bool ElementOf(const QWidget *control, TCardElement &element) const;
    // The control of a box or frame, or null.
    QWidget *ControlOf(const TCardElement &element) const;

    // Undo and Redo (frm_main_history.cpp): buttons enabled and named by the
    // step they take.
    void UpdateHistoryControls();

    // Crash recovery (frm_main_recovery.cpp). Unsaved changes are written
    // into `folder` a few seconds after each change; none while this was
    // not called.
    void StartRecovery(const QString &folder);
    // Offers the unsaved changes of a card left by a program that ended
    // without closing, "Restore" or "Discard". False when there were none.
    bool OfferRecovery();
    TCardRecovery *Recovery() const { return m_recovery.get(); }
    // Open and New: the card whose template.bmp is `backgroundPath` takes
    // the open card's place, once its unsaved changes were offered for
    // saving. A folder without template.bmp is refused with a message and
    // the open card stays.
    void OpenInPlaceOfTheCard(const QString &backgroundPath);

    // Card rendering (frm_main_render.cpp), over the widget-free card
    // renderer: the canvas and the text boxes in slot order, without the
    // picture frames, the change-picture button or the selection frame.
    // Writes the card as a 24-bit BMP through the atomic writer; false when
    // anything failed (a box that cannot be drawn fails the whole file).
    // `failure`, when given, says what failed and why.
    bool RenderCard(const QString &bmpPath, QString *failure = nullptr);
    // Draws one text box into `bitmap` (the card picture) at its place on
    // the card; false when it could not.
    bool RenderTextBox(TRichEditBox *box, QImage &bitmap);
    // The finished card as a 24-bit picture. Raises ECardError.
    QImage RenderedCard() const;
    // The card as the painter draws it at any resolution: the layout, its
    // pictures read from the card folder, the text boxes' documents (which
    // live as long as the boxes). Raises ECardError.
    TCardScene CardScene() const;
    // The text boxes in slot order with their bounds on the card.
    std::vector<TCardTextBox> CardTextBoxes() const;
    // The program folder's Temp.bmp, which the JPEG export and Print render
    // the card into; overwritten each time, never deleted.
    QString TempBmpPath() const;
    // Where the first Save As starts: the user's pictures folder, or home.
    static QString PicturesFolder();

    // Opens a file or address with the desktop's default action; false when
    // it could not. Tests replace it so that no browser starts.
    std::function<bool(const QUrl &address)> OpenWithDesktop;

    // My cards (frm_main_my_cards.cpp), the gallery Open shows first: the
    // card chosen in it, or that another folder was asked for; neither when
    // it was cancelled. Tests replace it.
    struct TMyCardsAnswer {
        QString CardFolder;  // ending in '/'
        bool AnotherFolder = false;
    };
    std::function<TMyCardsAnswer(const QString &cardsFolder)> ShowMyCards;
    // Sets ShowMyCards to the gallery itself.
    void StartMyCards();

    // The help window (frm_main_help.cpp), made when first wanted. Shows
    // the guide at `address` (a page of it, with a #section or not); a
    // guide that cannot be found is said so in a message.
    QPointer<TFrmHelp> HelpWindow;
    void ShowHelp(const QUrl &address);
    // The guide's address, at `section` when one is given.
    QUrl GuideAddress(const QString &section = QString()) const;

    // Keyboard (frm_main_keyboard.cpp). The arrow keys move the selected
    // control by one pixel, NudgeStepWithShift with Shift, and with Alt also
    // while a text box has the caret; reported as a drag of the frame.
    void NudgeSelection(int dx, int dy);
    static constexpr int NudgeStepWithShift = 10;

    // Overflow marker (frm_main_overflow.cpp): shown on the selected text
    // box's frame while its text runs past the box's lower edge.
    QLabel *OverflowMarker = nullptr;
    void UpdateOverflowMarker();

    // The sentence drawn on the empty surface while no card is open, and
    // below it where the cards are (frm_main_start.cpp).
    static const QString FirstHint;
    QString StartHint() const;
    // The recent cards offered on the empty surface, one click each.
    QWidget *RecentCardsPanel = nullptr;
    // Shows the hint and the recent cards while no card is open; hides the
    // cards once one is.
    void ShowStartSurface();
    // The open card goes first among the recent cards.
    void RememberOpenCard();
    void DropRecentCardsPanel();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // True when a card is open; otherwise says so and asks for one.
    bool CardOpenOrAskForOne();
    void BuildToolbar();
    void BuildSurface();
    void BuildOverflowMarker();
    // Forgets the session's recovery copy: saved, or left on purpose.
    void DiscardRecovery();
    void StartKeyboard();
    // Watches a new text box for the focus, its place and its text.
    void WatchTextBox(TRichEditBox *box);
    // Puts a new text box into the Tab order after the previous slot's.
    void ChainTextBox(TRichEditBox *box);
    void FormCreate();
    // The design surface's start-up (creates the mover) and its end.
    void StartDesignSurface();
    // Run however the window is closed; an error, or Cancel at the
    // question, keeps the window open (false).
    bool FormClose();
    // Connects the shown document to the surface.
    void WatchDocument();

    std::unique_ptr<TDialogs> m_dialogs;
    // One card, one window (card/card_lock.h): the open card's lock, whether
    // it was opened read-only because another window holds it, and its
    // files as last read or saved.
    std::unique_ptr<TCardLock> m_cardLock;
    bool m_readOnly = false;
    TCardStamp m_cardStamp;
    std::unique_ptr<TCardRecovery> m_recovery;
    TPlaces m_places;
    QString m_shownCardPath;  // CardPath of the card on show; a refused opening goes back to it
    bool m_nudging = false;   // the mover's step comes from the keyboard
    QString m_programTitle;   // the title bar without a card
};
