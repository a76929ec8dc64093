#include "app/frm_main.h"

#include "app/command_guard.h"
#include "app/glyphs.h"
#include "controls/Card_Edit.h"
#include "controls/qt_dialogs.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
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
    void (Tfrmmain::*Handler)();
    QToolButton *Tfrmmain::*Button;
};

const ToolCommand ToolCommands[] = {
    {"BitBtn1", "New", "Create a new card", "new", &Tfrmmain::BitBtn1Click, &Tfrmmain::BitBtn1},
    {"BitBtn2", "Open", "Open existing card", "open", &Tfrmmain::BitBtn2Click, &Tfrmmain::BitBtn2},
    {"BitBtn3", "Save", "Save Card", "save", &Tfrmmain::BitBtn3Click, &Tfrmmain::BitBtn3},
    {"BitBtn4", "Save As", "Save as bitmap or jpg", "saveas", &Tfrmmain::BitBtn4Click, &Tfrmmain::BitBtn4},
    {"BitBtn5", "Paper Set", "Paper Set", "paperset", &Tfrmmain::BitBtn5Click, &Tfrmmain::BitBtn5},
    {"BitBtn6", "Print", "Print", "print", &Tfrmmain::BitBtn6Click, &Tfrmmain::BitBtn6},
    {"BitBtn7", "Exit", "Exit", "exit", &Tfrmmain::BitBtn7Click, &Tfrmmain::BitBtn7},
    {"BitBtn8", "Help", "Need Help?", "help", &Tfrmmain::BitBtn8Click, &Tfrmmain::BitBtn8},
};

} // namespace

Tfrmmain::Tfrmmain(QWidget *parent)
    : QMainWindow(parent),
      ProgramFolder(QCoreApplication::applicationDirPath() + QLatin1Char('/')),
      m_dialogs(std::make_unique<TQtDialogs>(this))
{
    OpenWithDesktop = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
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
    SavePictureDialog.Filter = QStringLiteral("Bitmaps (*.bmp);;JPEG Image File (*.jpg)");

    FormCreate();
}

Tfrmmain::~Tfrmmain() = default;

void Tfrmmain::BuildToolbar()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setFixedHeight(ToolbarHeight);
    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(8, 7, 8, 7);
    row->setSpacing(6);

    QWidget *previous = nullptr;
    for (const ToolCommand &command : ToolCommands) {
        auto *button = new QToolButton(Panel1);
        button->setObjectName(QString::fromLatin1(command.Name));
        button->setText(QString::fromLatin1(command.Caption));
        button->setToolTip(QString::fromLatin1(command.Hint));
        button->setIcon(Glyph(QString::fromLatin1(command.Glyph)));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setFixedSize(ToolButtonWidth, ToolButtonHeight);
        button->setFocusPolicy(Qt::StrongFocus);
        const auto handler = command.Handler;
        connect(button, &QToolButton::clicked, this, [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
        row->addWidget(button);
        if (previous)
            setTabOrder(previous, button);
        previous = button;
        this->*command.Button = button;
    }
    row->addStretch(1);

    // The focus sink: no size to be seen, but it can hold the keyboard
    // focus, which takes the caret away from the text boxes. It does nothing.
    Button2 = new QPushButton(Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setFocusPolicy(Qt::StrongFocus);
    Button2->setFlat(true);
    Button2->setGeometry(671, 59, 0, 1);
    setTabOrder(previous, Button2);
}

void Tfrmmain::BuildSurface()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto *fill = new QVBoxLayout(Panel2);
    fill->setContentsMargins(0, 0, 0, 0);

    ScrollBox1 = new TScrollBox(Panel2);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
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

    SpeedButton1 = new QToolButton(surface);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("Click Here to change  Picture "));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setGeometry(128, 24, 169, 25);
    SpeedButton1->hide();
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { RunCommand([this] { SpeedButton1Click(); }); });
}

void Tfrmmain::FormCreate()
{
    // The version stands directly after the name.
    setWindowTitle(windowTitle() + QStringLiteral("(Ver2.55)"));
    StartDesignSurface();
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

void Tfrmmain::closeEvent(QCloseEvent *event)
{
    if (RunCommand([this] { FormClose(); }))
        event->accept();
    else
        event->ignore();
}
