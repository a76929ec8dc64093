#include "app/frm_main.h"

#include "app/command_guard.h"
#include "app/export_names.h"
#include "app/glyphs.h"
#include "app/messages.h"
#include "card/card_document.h"
#include "card/card_recovery.h"
#include "controls/Card_Edit.h"
#include "controls/accessibility.h"
#include "controls/focus_sink.h"
#include "controls/qt_dialogs.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "richtext/rich_edit_box.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int ToolbarHeight = 73;
constexpr int ToolButtonHeight = 57;
constexpr int ToolButtonWidth = 75;

struct ToolCommand {
    const char *Name;
    const char *Caption;
    const char *Hint;
    const char *Glyph;
    const char *Shortcut;  // the keys a desktop user expects; null for none
    void (Tfrmmain::*Handler)();
    QToolButton *Tfrmmain::*Button;
};

const ToolCommand ToolCommands[] = {
    {"BitBtn1", "New", "Create a new card", "new", "Ctrl+N", &Tfrmmain::BitBtn1Click, &Tfrmmain::BitBtn1},
    {"BitBtn2", "Open", "Open existing card", "open", "Ctrl+O", &Tfrmmain::BitBtn2Click, &Tfrmmain::BitBtn2},
    {"BitBtn3", "Save", "Save Card", "save", "Ctrl+S", &Tfrmmain::BitBtn3Click, &Tfrmmain::BitBtn3},
    {"BitBtn4", "Save As", "Save as bitmap or jpg", "saveas", "Ctrl+Shift+S", &Tfrmmain::BitBtn4Click, &Tfrmmain::BitBtn4},
    {"BitBtn5", "Paper Set", "Paper Set", "paperset", nullptr, &Tfrmmain::BitBtn5Click, &Tfrmmain::BitBtn5},
    {"BitBtn6", "Print", "Print", "print", "Ctrl+P", &Tfrmmain::BitBtn6Click, &Tfrmmain::BitBtn6},
    {"BitBtn7", "Exit", "Exit", "exit", "Ctrl+Q", &Tfrmmain::BitBtn7Click, &Tfrmmain::BitBtn7},
    {"BitBtn8", "Help", "Need Help?", "help", "F1", &Tfrmmain::BitBtn8Click, &Tfrmmain::BitBtn8},
    // After the eight: their tooltips name the step they take.
    {"UndoButton", "Undo", "Undo", "undo", "Ctrl+Z", &Tfrmmain::UndoClick, &Tfrmmain::UndoButton},
    {"RedoButton", "Redo", "Redo", "redo", "Ctrl+Shift+Z", &Tfrmmain::RedoClick, &Tfrmmain::RedoButton},
};

} // namespace

const QString Tfrmmain::FirstHint =
    QStringLiteral("Press New to make a card from a template, or Open to open one of your cards.");

Tfrmmain::Tfrmmain(QWidget *parent)
    : QMainWindow(parent),
      m_dialogs(std::make_unique<TQtDialogs>(this)),
      m_places(ProgramPlaces())
{
    OpenWithDesktop = [](const QUrl &address) { return QDesktopServices::openUrl(address); };
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QStringLiteral("Tessaly"));
    resize(1288, 778);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    BuildToolbar();
    BuildSurface();
    layout->addWidget(Panel1);
    layout->addWidget(Panel2, 1);

    OpenDialog1.Filter = QStringLiteral("Tessaly (*.crd)");
    SavePictureDialog.Filter = ExportFilter();
    SavePictureDialog.InitialDir = PicturesFolder();

    FormCreate();
    StartMyCards();
    ShowStartSurface();
}

Tfrmmain::~Tfrmmain()
{
    // The boxes edit the document's texts: they go before it.
    for (TRichEditBox *box : TextBoxes())
        delete box;
    m_recovery.reset();
}

void Tfrmmain::SetPlaces(const TPlaces &places)
{
    m_places = places;
    ShowStartSurface();
}

// The first export starts where a person keeps pictures (their home folder
// when there is no pictures folder), not in the process's current folder,
// which New leaves at the templates; later exports start at the last one.
QString Tfrmmain::PicturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QDir(pictures).exists() ? pictures : QDir::homePath();
}

void Tfrmmain::BuildToolbar()
{
    Panel1 = Named(new QFrame(this), "Panel1", QStringLiteral("Toolbar"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setFixedHeight(ToolbarHeight);
    // The toolbar does not set the window's least width: a narrow window
    // cuts off its last buttons, whose keys still work.
    Panel1->setMinimumWidth(1);
    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(8, 7, 8, 7);
    row->setSpacing(6);

    QWidget *previous = nullptr;
    for (const ToolCommand &command : ToolCommands) {
        auto *button = new QToolButton(Panel1);
        button->setObjectName(QString::fromLatin1(command.Name));
        button->setText(QString::fromLatin1(command.Caption));
        QString hint = QString::fromLatin1(command.Hint);
        const auto handler = command.Handler;
        const auto run = [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); };
        if (command.Shortcut) {
            // A window shortcut, so that it works wherever the focus is, a
            // text box included; the button's own shortcut would click it
            // only after an animation.
            const QKeySequence keys(QString::fromLatin1(command.Shortcut));
            auto *shortcut = new QShortcut(keys, this);
            shortcut->setObjectName(QString::fromLatin1(command.Name) + QStringLiteral("Shortcut"));
            shortcut->setContext(Qt::WindowShortcut);
            shortcut->setAutoRepeat(false);
            connect(shortcut, &QShortcut::activated, this, run);
            hint += QStringLiteral(" (%1)").arg(keys.toString(QKeySequence::NativeText));
        }
        button->setToolTip(hint);
        button->setAccessibleName(QString::fromLatin1(command.Caption));
        button->setAccessibleDescription(hint);
        button->setIcon(Glyph(QString::fromLatin1(command.Glyph)));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setFixedSize(ToolButtonWidth, ToolButtonHeight);
        button->setFocusPolicy(Qt::StrongFocus);
        connect(button, &QToolButton::clicked, this, run);
        row->addWidget(button);
        if (previous)
            setTabOrder(previous, button);
        previous = button;
        this->*command.Button = button;
    }
    // Ctrl+Y redoes too, as in many programs.
    auto *redoKeys = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Y")), this);
    redoKeys->setObjectName(QStringLiteral("RedoAltShortcut"));
    redoKeys->setContext(Qt::WindowShortcut);
    connect(redoKeys, &QShortcut::activated, this, [this] { RunCommand([this] { RedoClick(); }); });
    row->addStretch(1);

    // The focus sink: no size to be seen, but it can hold the keyboard
    // focus, which takes the caret away from the text boxes. It does nothing.
    Button2 = new TFocusSink(Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(671, 59, 0, 1);
    setTabOrder(previous, Button2);
}

void Tfrmmain::BuildSurface()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto *fill = new QVBoxLayout(Panel2);
    fill->setContentsMargins(0, 0, 0, 0);

    ScrollBox1 = Named(new TScrollBox(Panel2), "ScrollBox1", QStringLiteral("Design surface"));
    // The arrow keys move the selected control; the scroll bars scroll.
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    fill->addWidget(ScrollBox1);
    QWidget *surface = ScrollBox1->Surface();

    Card_Edit1 = new TCard_Edit(surface);
    Card_Edit1->setObjectName(QStringLiteral("Card_Edit1"));
    Card_Edit1->setGeometry(0, 0, 800, 560);
    Card_Edit1->OnClick = [this](TImage *) { RunCommand([this] { Card_Edit1Click(); }); };

    const auto makeFrame = [surface](const char *name, QRect bounds) {
        auto *frame = new TShape(surface);
        frame->setObjectName(QString::fromLatin1(name));
        frame->setBrushStyle(Qt::NoBrush);
        frame->setPenColor(QColor(0, 0, 128));
        frame->setPenWidth(2);
        frame->setGeometry(bounds);
        frame->hide();
        return frame;
    };
    Shape1 = makeFrame("Shape1", QRect(72, 48, 297, 273));
    Shape1->OnMouseDown = [this](TShape *, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
        RunCommand([=, this] { Shape1MouseDown(button, shift, x, y); });
    };
    Shape2 = makeFrame("Shape2", QRect(344, 144, 297, 273));
    Shape1->setAccessibleName(QStringLiteral("Picture frame 1"));
    Shape1->setAccessibleDescription(QStringLiteral("Click to select it, then drag its frame to move it or a handle to resize it"));
    Shape2->setAccessibleName(QStringLiteral("Picture frame 2"));

    SpeedButton1 = Named(new QToolButton(surface), "SpeedButton1", QStringLiteral("Change picture"),
                         QStringLiteral("Put one of your own pictures in picture frame 1"));
    SpeedButton1->setText(QStringLiteral("Click Here to change  Picture "));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setToolTip(QStringLiteral("Put one of your own pictures in the frame (%1)")
                                 .arg(QKeySequence(ChangePictureKeys).toString(QKeySequence::NativeText)));
    SpeedButton1->setGeometry(128, 24, 169, 25);
    SpeedButton1->hide();
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { RunCommand([this] { SpeedButton1Click(); }); });

    BuildOverflowMarker();
}

void Tfrmmain::FormCreate()
{
    // The version stands directly after the name.
    setWindowTitle(windowTitle() + QStringLiteral("(Ver2.55)"));
    m_programTitle = windowTitle();
    StartDesignSurface();
    StartKeyboard();
    UpdateHistoryControls();
    // Qt paints every widget through a back buffer, so the scroll box is
    // double-buffered already.
    CardPath.clear();
}

void Tfrmmain::SetDialogs(std::unique_ptr<TDialogs> dialogs)
{
    m_dialogs = std::move(dialogs);
}

bool Tfrmmain::RunCommand(const std::function<void()> &command)
{
    return RunGuarded(*m_dialogs, command);
}

bool Tfrmmain::CardOpenOrAskForOne()
{
    if (!CardPath.isEmpty())
        return true;
    Dialogs().ShowMessage(NoCardMessage);
    return false;
}

void Tfrmmain::closeEvent(QCloseEvent *event)
{
    bool closes = false;
    if (RunCommand([this, &closes] { closes = FormClose(); }) && closes)
        event->accept();
    else
        event->ignore();
}
