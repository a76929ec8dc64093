// The design surface: the mover, the picture frames and the text boxes.
//
// Every control lies on ScrollBox1->Surface(), whose own coordinates do not
// change while the user scrolls; a card rectangle is a control's bounds
// measured from the canvas's top-left corner.
#include "app/frm_main.h"

#include "card/card_document.h"
#include "card/card_geometry.h"
#include "card/card_recovery.h"
#include "controls/Card_Edit.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "mover/mover.h"
#include "richtext/rich_edit_box.h"

#include <QFocusEvent>
#include <QPushButton>
#include <QToolButton>

namespace {

const QString TextBoxPrefix = QStringLiteral("AEdit");
const QString TextBoxDescription =
    QStringLiteral("Type to change the text. Double-click for fonts, sizes, colours and alignment; "
                   "Alt and the arrow keys move the box.");

// Passes a watched object's events to a function and lets them go on.
class TEventWatch : public QObject {
public:
    TEventWatch(QObject *watched, std::function<void(QEvent *)> onEvent)
        : QObject(watched), m_onEvent(std::move(onEvent))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        m_onEvent(event);
        return false;
    }

private:
    std::function<void(QEvent *)> m_onEvent;
};

} // namespace

void Tfrmmain::StartDesignSurface()
{
    Mover = new TMover(this);
    Mover->AttachTo(ScrollBox1->Surface());
    Mover->OnEndMove = [this](QWidget *control, bool moved, QPoint xy) {
        RunCommand([=, this] { MoverEndMove(control, moved, xy); });
    };
    Mover->OnEndResize = [this](QWidget *control) { RunCommand([=, this] { MoverEndResize(control); }); };
    Mover->OnResizing = [this](QWidget *control, QRect &rect, bool &allow) {
        RunCommand([&, this] { MoverResizing(control, rect, allow); });
    };
}

void Tfrmmain::OpenCardFolder()
{
    // The whole card is read and checked before anything on screen changes:
    // a card that cannot be opened leaves the open one, its boxes and its
    // unsaved edits as they were, and CardPath naming it.
    std::unique_ptr<TCardDocument> document;
    try {
        document = TCardDocument::Open(CardPath);
    } catch (...) {
        CardPath = m_shownCardPath;
        throw;
    }
    ShowDocument(std::move(document));
}

void Tfrmmain::ShowDocument(std::unique_ptr<TCardDocument> document)
{
    ScrollBox1->SetHorzPosition(0);
    ScrollBox1->SetVertPosition(0);
    // The boxes edit the old card's texts: they go before it does, and so
    // does its recovery copy.
    ClearTextBoxes();
    if (m_recovery)
        m_recovery->Watch(nullptr);
    Document = std::move(document);
    CardPath = Document->BackgroundPath();
    m_shownCardPath = CardPath;
    Card_Edit1->SetPic_Path(Document->Folder());
    // The card's files as read: Save asks before overwriting what another
    // window or program has written since.
    m_cardStamp = TCardStamp::Of(Document->Folder());
    Card_Edit1->ShowCard(Document->LayoutAsSaved(), Document->Picture());
    CreateTextBoxes();
    PlacePictureFrames();
    WatchDocument();
    if (m_recovery)
        m_recovery->Watch(Document.get());
    UpdateTitle();
    UpdateHistoryControls();
}

void Tfrmmain::WatchDocument()
{
    TCardDocument *document = Document.get();
    connect(document, &TCardDocument::PictureChanged, this,
            [this] { Card_Edit1->ShowCard(Document->LayoutAsSaved(), Document->Picture()); });
    connect(document, &TCardDocument::LayoutChanged, this, [this] {
        Card_Edit1->Layout = Document->LayoutAsSaved();
        PlaceElements();
    });
    connect(&document->History(), &QUndoStack::indexChanged, this, [this] {
        UpdateHistoryControls();
        UpdateTitle();
    });
    connect(&document->History(), &QUndoStack::cleanChanged, this, [this] { UpdateTitle(); });
}

void Tfrmmain::PlaceElements()
{
    QWidget *selected = Mover ? Mover->SelectedControl() : nullptr;
    const QRect selectedBefore = selected ? selected->geometry() : QRect();
    for (TRichEditBox *box : TextBoxes())
        PlaceControl(Document->ElementRect({TCardElement::TKind::TextBox, TextBoxSlot(box), 0}), box);
    PlacePictureFrames();
    // An undone move takes the selection frame along with the control.
    if (selected && selected->geometry() != selectedBefore && !Mover->IsDragging())
        Mover->Select(selected);
    UpdateOverflowMarker();
}

bool Tfrmmain::ElementOf(const QWidget *control, TCardElement &element) const
{
    if (control && control == Shape1) {
        element = {TCardElement::TKind::PictureFrame, 0, 0};
        return true;
    }
    const int slot = TextBoxSlot(control);
    if (slot < 0)
        return false;
    element = {TCardElement::TKind::TextBox, slot, 0};
    return true;
}

QWidget *Tfrmmain::ControlOf(const TCardElement &element) const
{
    if (element.Face != 0)
        return nullptr;
    if (element.Kind == TCardElement::TKind::PictureFrame)
        return element.Slot == 0 ? static_cast<QWidget *>(Shape1) : element.Slot == 1 ? Shape2 : nullptr;
    for (TRichEditBox *box : TextBoxes())
        if (TextBoxSlot(box) == element.Slot)
            return box;
    return nullptr;
}

void Tfrmmain::ClearTextBoxes()
{
    // The frame must not outlive the box it surrounds.
    if (Mover && Mover->SelectedControl())
        Mover->Unselect();
    const QObjectList children = ScrollBox1->Surface()->children();
    for (qsizetype i = children.size() - 1; i >= 0; --i) {
        if (TextBoxSlot(children[i]) < 0)
            continue;
        auto *box = static_cast<QWidget *>(children[i]);
        box->hide();
        delete box;
    }
    UpdateOverflowMarker();
}

void Tfrmmain::CreateTextBoxes()
{
    for (int n = 0; n < TextSlotCount; ++n) {
        QTextDocument *text = Document->Text(n);
        if (!text)
            continue;
        // The box draws only its text, on a transparent ground, so the card
        // shows through. It edits the document's own text.
        auto *box = new TRichEditBox(ScrollBox1->Surface());
        box->setDocument(text);
        box->moveCursor(QTextCursor::Start);
        PlaceControl(Document->ElementRect({TCardElement::TKind::TextBox, n, 0}), box);
        box->show();
        box->setObjectName(TextBoxPrefix + QString::number(n));
        box->setAccessibleName(QStringLiteral("Text box %1").arg(n + 1));
        box->setAccessibleDescription(TextBoxDescription);
        WatchTextBox(box);
        ChainTextBox(box);
        box->OnClick = [this](TRichEditBox *sender) { RunCommand([=, this] { TextBoxClick(sender); }); };
    }
}

void Tfrmmain::PlacePictureFrames()
{
    const CardLayout &layout = Card_Edit1->Layout;
    Shape1->setVisible(layout.Pictures[0].Used != 0);
    Shape2->setVisible(layout.Pictures[1].Used != 0);
    SpeedButton1->setVisible(layout.Pictures[0].Used != 0);
    if (layout.Pictures[0].Used != 0)
        PlaceControl(layout.Pictures[0].Rect, Shape1);
    if (layout.Pictures[1].Used != 0)
        PlaceControl(layout.Pictures[1].Rect, Shape2);
    if (layout.Pictures[0].Used != 0)
        PlaceSpeedButton1();
}

void Tfrmmain::PlaceSpeedButton1()
{
    // Integer division truncates toward zero, as the layout expects. The
    // button sits just below the row of handles under the selected frame,
    // so the bottom-middle handle never covers its caption, and above the
    // text boxes, so none hides it.
    const int margin = Mover ? Mover->FrameMargin : 0;
    SpeedButton1->move(Shape1->x() + (Shape1->width() - SpeedButton1->width()) / 2,
                       Shape1->y() + Shape1->height() + margin + TMover::HandleSize);
    SpeedButton1->raise();
}

void Tfrmmain::WatchTextBox(TRichEditBox *box)
{
    new TEventWatch(box, [this, box](QEvent *event) {
        switch (event->type()) {
        case QEvent::FocusIn: {
            // Reaching a box with Tab selects it, as a click does. A drag
            // hides the dragged box, which passes the focus on as Tab would:
            // that selects nothing.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            const bool tab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
            if (tab && Mover && !Mover->IsDragging())
                RunCommand([=, this] { TextBoxClick(box); });
            break;
        }
        case QEvent::FocusOut: {
            // Editing ends: the selection's highlight must not stay on the
            // card. A menu or the box's format dialog leaves it, since they
            // work on it, and so does a drag, after which the box takes the
            // focus back.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            const bool keeps = reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason
                               || (Mover && Mover->IsDragging());
            if (!keeps) {
                QTextCursor cursor = box->textCursor();
                if (cursor.hasSelection()) {
                    cursor.clearSelection();
                    box->setTextCursor(cursor);
                }
            }
            break;
        }
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            UpdateOverflowMarker();
            break;
        default:
            break;
        }
    });
    connect(box->document(), &QTextDocument::contentsChanged, this, [this] { UpdateOverflowMarker(); });
}

void Tfrmmain::PlaceControl(const SlotRect &rect, QWidget *control)
{
    control->setGeometry(SlotToControlRect(rect, Card_Edit1->pos()));
}

SlotRect Tfrmmain::ControlToCardRect(const QWidget *control) const
{
    // Surface positions do not move with the scroll bars, so no scroll
    // position needs resetting to measure.
    return ControlToSlotRect(control->geometry(), Card_Edit1->pos());
}

QList<TRichEditBox *> Tfrmmain::TextBoxes() const
{
    QList<TRichEditBox *> boxes;
    for (int n = 0; n < TextSlotCount; ++n) {
        auto *box = ScrollBox1->Surface()->findChild<TRichEditBox *>(TextBoxPrefix + QString::number(n),
                                                                     Qt::FindDirectChildrenOnly);
        if (box)
            boxes.append(box);
    }
    return boxes;
}

int Tfrmmain::TextBoxSlot(const QObject *child)
{
    if (!child || !qobject_cast<const TRichEditBox *>(child))
        return -1;
    const QString name = child->objectName();
    if (name.size() != TextBoxPrefix.size() + 1 || !name.startsWith(TextBoxPrefix))
        return -1;
    const int slot = name.back().digitValue();
    return slot >= 0 && slot < TextSlotCount ? slot : -1;
}

void Tfrmmain::Card_Edit1Click()
{
    if (Mover && Mover->SelectedControl())
        Mover->Unselect();
    Button2->setFocus();
    UpdateOverflowMarker();
}

void Tfrmmain::TextBoxClick(TRichEditBox *sender)
{
    // The box keeps the keyboard focus, so the user types on; the frame
    // lets them drag and resize it.
    if (Mover)
        Mover->Select(sender);
    UpdateOverflowMarker();
}

void Tfrmmain::Shape1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    if (Mover)
        Mover->Select(Shape1);
    // No text box keeps the caret while the picture frame is selected.
    Button2->setFocus();
    UpdateOverflowMarker();
}

void Tfrmmain::MoverEndMove(QWidget *vControl, bool Moved, QPoint)
{
    TCardElement element;
    if (!Moved || !Document || !ElementOf(vControl, element))
        return;
    // One step for the drag; a run of arrow keys on one control is one step too.
    Document->MoveElement(element, ControlToCardRect(vControl),
                          m_nudging ? TCardDocument::TMoveKind::Nudge : TCardDocument::TMoveKind::Move);
}

void Tfrmmain::MoverEndResize(QWidget *vControl)
{
    TCardElement element;
    if (!Document || !ElementOf(vControl, element))
        return;
    Document->MoveElement(element, ControlToCardRect(vControl), TCardDocument::TMoveKind::Resize);
}

void Tfrmmain::MoverResizing(QWidget *vControl, QRect &vRect, bool &)
{
    if (!vControl || !Mover)
        return;
    // The frame as it was when the handle was pressed: the control does not
    // move until the handle is released.
    const int margin = Mover->FrameMargin;
    const QRect start = vControl->geometry().adjusted(-margin, -margin, margin, margin);
    const int minimum = MinControlSide + 2 * margin;
    // A left or top edge that follows the mouse stops short of the opposite
    // edge, which stays where it was; a right or bottom edge stops short of
    // the left or top one.
    if (vRect.width() < minimum) {
        const int left = vRect.x() != start.x() ? start.x() + start.width() - minimum : vRect.x();
        vRect = QRect(left, vRect.y(), minimum, vRect.height());
    }
    if (vRect.height() < minimum) {
        const int top = vRect.y() != start.y() ? start.y() + start.height() - minimum : vRect.y();
        vRect = QRect(vRect.x(), top, vRect.width(), minimum);
    }
}
