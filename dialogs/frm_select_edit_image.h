#pragma once
// The picture dialog behind the change-picture button: shows the card's
// current picture, loads one of the user's own (a photo in JPEG, HEIC, PNG,
// WebP, TIFF or GIF, a bitmap, an icon, a Windows or enhanced metafile),
// cuts out a part of it with a red crop rectangle that a mover moves and
// sizes, and on "OK" writes the result as a 24-bit BMP over the card's
// picture file.
//
// The picture is held at its own size; a larger one than the picture area
// is shown scaled down to fit, and a crop always cuts the picture's own
// pixels. Given the frame's shape, the crop rectangle keeps it (Shift
// frees it) and "OK" writes the picture cut to it, so the card's stretch
// into the frame squashes nothing; the file is kept no larger than the
// card printed needs (card/picture_fit.h). Nothing is written before "OK".

#include "controls/dialogs.h"
#include "dialogs/picture_crop.h"

#include <QDialog>

#include <functional>
#include <QImage>
#include <QString>

class QGroupBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class QShowEvent;
class TImage;
class TMover;
class TScrollBox;
class TShape;

class TFrmselectImage : public QDialog {
    Q_OBJECT
public:
    // Boxes are shown through `dialogs`.
    explicit TFrmselectImage(TDialogs &dialogs, QWidget *parent = nullptr);
    ~TFrmselectImage() override;

    QString LastDir;        // in and out: folder of the picture chosen last, ending in '/'
    QString TargetFile;     // in: the card's picture file, written on "OK"; empty: nothing is written
    bool Accepted = false;  // the user confirmed and the picture was written
    QImage Chosen;          // out: the picture confirmed with "OK", as it would be written

    // Stores both; when `targetFile` exists, shows the picture it holds.
    void Init(const QString &lastDir, const QString &targetFile);
    // Shows a picture the caller holds (the card's, not yet saved).
    void ShowPicture(const QImage &picture);
    // The picture frame's size in card pixels (the crop's and the written
    // picture's proportions) and the largest picture worth writing; empty
    // sizes leave the picture's own shape and size.
    void SetFrame(QSize frameShape, QSize storeBound);
    QSize FrameShape;
    QSize StoreBound;
    // Whether Shift is held now, freeing the crop rectangle's shape; tests
    // replace it.
    std::function<bool()> ShiftHeld;

    // The picture being edited, at its own size; null when none is loaded.
    const QImage &Picture() const { return m_picture; }
    // Where it is shown in the picture area.
    const TPictureView &View() const { return m_view; }
    bool InCropMode() const;

    TScrollBox *ScrollBox1 = nullptr;  // the picture area
    TImage *Image1 = nullptr;          // the picture as shown
    TShape *Shape1 = nullptr;          // the crop rectangle
    QGroupBox *GroupBox1 = nullptr;
    QPushButton *Button1 = nullptr;    // Select My Own Image
    QLabel *Label1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QPushButton *BitBtn1 = nullptr;    // crop (a picture only)
    QPushButton *BitBtn3 = nullptr;    // Apply
    QPushButton *BitBtn4 = nullptr;    // Cancel (crop)
    QPushButton *BitBtn5 = nullptr;    // OK
    QPushButton *BitBtn6 = nullptr;    // Cancel (dialog)
    TFileDialog OpenPictureDialog1;    // keeps its last choice while the dialog lives
    TMover *Mover = nullptr;

    // Runs the file chooser and loads its choice; false when it was cancelled.
    bool OpenPicture();
    // Fits and centres the picture in the picture area.
    void CenterImage();

    void Button1Click();  // Select My Own Image
    void BitBtn1Click();  // crop mode
    void BitBtn3Click();  // Apply
    void BitBtn4Click();  // leave crop mode
    void BitBtn5Click();  // OK
    void BitBtn6Click();  // Cancel


protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildControls();
    void FormCreate();
    void SetPicture(const QImage &picture);
    void SetCropMode(bool on);
    // Runs a handler; a picture that cannot be read or written is shown in
    // a message box and the dialog stays as it was.
    void Guarded(void (TFrmselectImage::*handler)());

    TDialogs &m_dialogs;
    QImage m_picture;
    TPictureView m_view;
    QSize m_shownFor;  // the shown size Image1's bitmap was made at
    bool m_cropPlaced = false;  // the crop rectangle was placed over this picture
};
