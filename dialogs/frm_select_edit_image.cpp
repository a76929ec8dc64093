#include "dialogs/frm_select_edit_image.h"

#include "card/card_compose.h"
#include "card/picture_fit.h"
#include "controls/accessibility.h"
#include "controls/image.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "mover/mover.h"
#include "pictures/bmp_file.h"
#include "pictures/picture_file.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

// Shown when there is no picture to use or to cut.
const QString NoPictureMessage = QStringLiteral("Please load Image !");

// A failure whose box has a caption of its own.
class ECaptionedError : public std::runtime_error {
public:
    ECaptionedError(const QString &message, const QString &caption)
        : std::runtime_error(message.toStdString()), Caption(caption)
    {
    }
    QString Caption;
};

// The busy cursor while a photo of many megapixels is read, cut or written.
struct TBusyCursor {
    TBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;
};

QPushButton *MakeButton(QWidget *parent, const char *objectName, const QString &caption, QRect bounds,
                        const QString &accessibleName, const QString &description)
{
    auto *button = Named(new QPushButton(caption, parent), objectName, accessibleName, description);
    button->setGeometry(bounds);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TFrmselectImage::TFrmselectImage(TDialogs &dialogs, QWidget *parent) : QDialog(parent), m_dialogs(dialogs)
{
    BuildControls();
    FormCreate();
}

TFrmselectImage::~TFrmselectImage() = default;

void TFrmselectImage::BuildControls()
{
    setObjectName(QStringLiteral("FrmselectImage"));
    setWindowTitle(QStringLiteral("Select a Image"));
    setAccessibleName(QStringLiteral("Select a Image"));
    setModal(true);
    setFixedSize(771, 589);

    ScrollBox1 = Named(new TScrollBox(this), "ScrollBox1", QStringLiteral("Picture area"),
                       QStringLiteral("The picture that OK puts into the card's picture frame"));
    ScrollBox1->setGeometry(0, 0, 578, 589);
    QWidget *area = ScrollBox1->Surface();
    Image1 = Named(new TImage(area), "Image1", QStringLiteral("Picture"),
                   QStringLiteral("The picture being edited, shown whole"));
    Image1->setGeometry(0, 0, 0, 0);
    Shape1 = Named(new TShape(area), "Shape1", QStringLiteral("Crop rectangle"),
                   QStringLiteral("Drag the red rectangle or its handles over the part of the picture to keep"));
    Shape1->setBrushStyle(Qt::NoBrush);
    Shape1->setPenColor(Qt::red);
    Shape1->setPenWidth(2);
    Shape1->setGeometry(177, 157, 152, 108);
    Shape1->hide();

    GroupBox1 = Named(new QGroupBox(QStringLiteral("Select Image and Process"), this), "GroupBox1",
                      QStringLiteral("Select Image and Process"));
    GroupBox1->setGeometry(578, 0, 193, 589);
    Button1 = MakeButton(GroupBox1, "Button1", QStringLiteral("Select My Own Image"), QRect(14, 36, 155, 25),
                         QStringLiteral("Select My Own Image"),
                         QStringLiteral("Chooses a picture file: a photo (JPEG, HEIC, PNG, WebP, TIFF, GIF), "
                                        "bitmap, icon or metafile"));
    Label1 = Named(new QLabel(QStringLiteral("If Your just want to use a part of your picture, use Crop"), GroupBox1),
                   "Label1", QStringLiteral("If Your just want to use a part of your picture, use Crop"));
    Label1->setWordWrap(true);
    Label1->setStyleSheet(QStringLiteral("QLabel { color: red; }"));
    // As many lines as the font needs; the crop group follows below.
    Label1->setGeometry(16, 72, 160, Label1->heightForWidth(160));

    GroupBox2 = Named(new QGroupBox(QStringLiteral("Crop Image"), GroupBox1), "GroupBox2",
                      QStringLiteral("Crop Image"));
    GroupBox2->setGeometry(16, std::max(118, Label1->geometry().bottom() + 8), 160, 107);
    BitBtn1 = MakeButton(GroupBox2, "BitBtn1", QString(), QRect(8, 32, 57, 57), QStringLiteral("Crop"),
                         QStringLiteral("Shows the red crop rectangle over the picture"));
    BitBtn1->setIcon(QIcon(QStringLiteral(":/dialog_icons/crop.svg")));
    BitBtn1->setIconSize(QSize(40, 40));
    BitBtn1->setToolTip(QStringLiteral("Crop\nUse only a part of the picture: place the red rectangle,\n"
                                       "then press Apply"));
    BitBtn3 = MakeButton(GroupBox2, "BitBtn3", QStringLiteral("Apply"), QRect(80, 30, 65, 25),
                         QStringLiteral("Apply"), QStringLiteral("Keeps only the part inside the red rectangle"));
    BitBtn4 = MakeButton(GroupBox2, "BitBtn4", QStringLiteral("Cancel"), QRect(80, 64, 65, 25),
                         QStringLiteral("Cancel crop"), QStringLiteral("Leaves cropping; the picture stays whole"));
    BitBtn5 = MakeButton(GroupBox1, "BitBtn5", QStringLiteral("OK"), QRect(16, 308, 153, 25), QStringLiteral("OK"),
                         QStringLiteral("Puts the picture into the card"));
    BitBtn6 = MakeButton(GroupBox1, "BitBtn6", QStringLiteral("Cancel"), QRect(16, 348, 153, 25),
                         QStringLiteral("Cancel"), QStringLiteral("Closes without changing the card"));

    connect(Button1, &QPushButton::clicked, this, [this] { Guarded(&TFrmselectImage::Button1Click); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guarded(&TFrmselectImage::BitBtn1Click); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { Guarded(&TFrmselectImage::BitBtn3Click); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { Guarded(&TFrmselectImage::BitBtn4Click); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { Guarded(&TFrmselectImage::BitBtn5Click); });
    connect(BitBtn6, &QPushButton::clicked, this, [this] { Guarded(&TFrmselectImage::BitBtn6Click); });
    setTabOrder(Button1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn3);
    setTabOrder(BitBtn3, BitBtn4);
    setTabOrder(BitBtn4, BitBtn5);
    setTabOrder(BitBtn5, BitBtn6);

    OpenPictureDialog1.Filter = PictureFileFilter();
}

void TFrmselectImage::FormCreate()
{
    // The mover is created after the controls, so its frame lies above the
    // crop rectangle: a press anywhere inside the rectangle moves it.
    Mover = new TMover(this);
    Mover->AttachTo(ScrollBox1->Surface());
    // Qt draws every widget through a back buffer: dragging does not
    // flicker. The mover keeps the colours and margin it was built with.
    Mover->ApplyColors();
    // The crop rectangle keeps the frame's proportions unless Shift is held.
    ShiftHeld = [] { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier); };
    Mover->OnResizing = [this](QWidget *control, QRect &frame, bool &) {
        if (control != Shape1 || FrameShape.isEmpty() || (ShiftHeld && ShiftHeld()))
            return;
        const int m = Mover->FrameMargin;
        const QRect kept = KeepShape(Shape1->geometry(), frame.adjusted(m, m, -m, -m), FrameShape);
        frame = kept.adjusted(-m, -m, m, m);
    };
    SetCropMode(false);
    Accepted = false;
}

void TFrmselectImage::ShowPicture(const QImage &picture)
{
    if (picture.isNull())
        return;
    SetPicture(picture);
    CenterImage();
}

void TFrmselectImage::Init(const QString &lastDir, const QString &targetFile)
{
    LastDir = lastDir;
    TargetFile = targetFile;
    if (QFileInfo::exists(targetFile) || QFileInfo(targetFile).isSymLink()) {
        // The card's picture is whatever the dialog wrote last, a BMP
        // whatever its name: it is read as the card reads it. When it
        // cannot be read the area stays empty and a new one can be chosen.
        try {
            SetPicture(LoadCardPicture(targetFile));
        } catch (const std::exception &error) {
            m_dialogs.ShowMessage(QString::fromUtf8(error.what()));
        }
    }
    CenterImage();
}

void TFrmselectImage::SetFrame(QSize frameShape, QSize storeBound)
{
    FrameShape = frameShape;
    StoreBound = storeBound;
}

bool TFrmselectImage::InCropMode() const
{
    return BitBtn3->isEnabled();
}

void TFrmselectImage::SetPicture(const QImage &picture)
{
    m_picture = picture;
    m_shownFor = QSize(-1, -1);
    m_cropPlaced = false;
}

bool TFrmselectImage::OpenPicture()
{
    if (!m_dialogs.ExecuteOpen(OpenPictureDialog1))
        return false;
    const QString file = OpenPictureDialog1.FileName;
    QImage picture;
    try {
        const TBusyCursor busy;
        picture = LoadPictureFile(file);
    } catch (const EPictureError &error) {
        // Why the picture cannot be used goes below the usual words; the
        // picture shown before stays.
        if (PictureTypeOf(file) != TPictureType::Icon)
            throw std::runtime_error((NoPictureMessage + QStringLiteral("\n\n") + QString::fromUtf8(error.what()))
                                         .toStdString());
        throw ECaptionedError(QStringLiteral("Load Image: ") + QDir::toNativeSeparators(file)
                                  + QStringLiteral("Error:") + error.Reason,
                              QStringLiteral("Quit"));
    }
    // A file gone since it was chosen leaves the area empty.
    SetPicture(picture);
    return true;
}

void TFrmselectImage::CenterImage()
{
    m_view = FitPicture(m_picture.size(), ScrollBox1->maximumViewportSize());
    if (m_shownFor != m_view.Shown) {
        if (m_picture.isNull())
            Image1->ClearPicture();
        else
            Image1->SetPicture(ShownPicture(m_picture, m_view.Shown));
        m_shownFor = m_view.Shown;
    }
    Image1->setGeometry(QRect(m_view.Origin, m_view.Shown));
    ScrollBox1->SetHorzPosition(0);
    ScrollBox1->SetVertPosition(0);
}

void TFrmselectImage::Button1Click()
{
    const QString lastDir = LastDir.trimmed();
    if (!lastDir.isEmpty() && QFileInfo(lastDir).isDir())
        OpenPictureDialog1.InitialDir = lastDir;
    OpenPicture();
    if (OpenPictureDialog1.FileName.isEmpty()) {
        m_dialogs.ShowMessageBox(QStringLiteral("No Image select"), QStringLiteral("Please retry!"),
                                 TMessageIcon::Warning);
        return;
    }
    if (m_picture.isNull()) {
        CenterImage();
        m_dialogs.ShowMessage(NoPictureMessage);
        return;
    }
    LastDir = QFileInfo(OpenPictureDialog1.FileName).absolutePath() + QLatin1Char('/');
    CenterImage();
}

void TFrmselectImage::SetCropMode(bool on)
{
    Button1->setEnabled(!on);
    BitBtn5->setEnabled(!on);
    BitBtn6->setEnabled(!on);
    BitBtn3->setEnabled(on);
    BitBtn4->setEnabled(on);
    // Enter presses what finishes the current mode.
    BitBtn3->setDefault(on);
    BitBtn5->setDefault(!on);
}

void TFrmselectImage::BitBtn1Click()
{
    // Over a new picture the rectangle first shows the part that "OK"
    // would use: the frame's shape, centred.
    if (!m_cropPlaced && !FrameShape.isEmpty() && !m_picture.isNull()) {
        Shape1->setGeometry(m_view.ToArea(FillPart(m_picture.size(), FrameShape)));
        m_cropPlaced = true;
    }
    Shape1->show();
    SetCropMode(true);
    Mover->Select(Shape1);
    BitBtn3->setFocus();
}

void TFrmselectImage::BitBtn3Click()
{
    if (m_picture.isNull()) {
        m_dialogs.ShowMessage(NoPictureMessage);
        return;
    }
    // The picture's own pixels under the rectangle, not the screen's.
    const TBusyCursor busy;
    const QImage cropped = CropPicture(m_picture, m_view.ToPicture(Shape1->geometry()));
    BitBtn4Click();
    SetPicture(cropped);
    CenterImage();
}

void TFrmselectImage::BitBtn4Click()
{
    Mover->Unselect();
    Shape1->hide();
    SetCropMode(false);
    BitBtn1->setFocus();
}

void TFrmselectImage::BitBtn5Click()
{
    if (InCropMode())
        return;
    // Nothing loaded: nothing to put into the card, which stays as it was.
    if (m_picture.isNull()) {
        reject();
        return;
    }
    if (!m_dialogs.AskYesNo(QStringLiteral("Use the Image?"), QStringLiteral("Please make sure")))
        return;
    // A failed write raises: the message is shown, the old picture stays
    // whole and the dialog stays open. Without a target the caller keeps it.
    Chosen = PictureForFrame(m_picture, FrameShape, StoreBound);
    if (!TargetFile.isEmpty()) {
        const TBusyCursor busy;
        StoreFramePicture(m_picture, FrameShape, StoreBound, TargetFile);
    }
    Accepted = true;
    accept();
}

void TFrmselectImage::BitBtn6Click()
{
    if (InCropMode())
        return;
    Accepted = false;
    reject();
}

void TFrmselectImage::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    CenterImage();
}

void TFrmselectImage::keyPressEvent(QKeyEvent *event)
{
    // Escape leaves crop mode first, and closes the dialog only from there.
    if (event->key() == Qt::Key_Escape && InCropMode()) {
        BitBtn4Click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFrmselectImage::Guarded(void (TFrmselectImage::*handler)())
{
    try {
        (this->*handler)();
    } catch (const ECaptionedError &error) {
        m_dialogs.ShowMessageBox(QString::fromUtf8(error.what()), error.Caption, TMessageIcon::None);
    } catch (const std::bad_alloc &) {
        m_dialogs.ShowMessage(QStringLiteral("There is not enough memory for this picture."));
    } catch (const std::exception &error) {
        m_dialogs.ShowMessage(QString::fromUtf8(error.what()));
    }
}
