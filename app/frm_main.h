#pragma once
// The main window: a toolbar of eight commands over the design surface, a
// scroll box holding the card canvas, the picture frames and the
// change-picture button. Split by topic:
//   frm_main.cpp          construction, start-up, closing, error report
//   frm_main_surface.cpp  the design surface (mover, frames, text boxes)
//   frm_main_file.cpp     Open, Save, Exit, Help
//   frm_main_new.cpp      New card from a template
//   frm_main_picture.cpp  change picture
//   frm_main_print.cpp    Paper Set, Print
//   frm_main_export.cpp   Save As (BMP, JPEG)

#include "controls/dialogs.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

class QCloseEvent;
class QFrame;
class QPushButton;
class QToolButton;
class TCard_Edit;
class TMover;
class TScrollBox;
class TShape;

class Tfrmmain : public QMainWindow {
    Q_OBJECT
public:
    explicit Tfrmmain(QWidget *parent = nullptr);
    ~Tfrmmain() override;

    // State.
    QString CardPath;        // the open card's template.bmp; empty = no card open
    QString LastPictureDir;  // folder of the last picture the user chose
    TMover *Mover = nullptr; // created by the design surface's start-up
    // The folder of the executable, ending in '/': Template/, MyCard/ and
    // Temp.bmp are found here. Tests point it at the build's bin/ folder.
    QString ProgramFolder;

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
    void SpeedButton1Click();

    // Design surface handlers.
    void Card_Edit1Click();
    void Shape1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildToolbar();
    void BuildSurface();
    void FormCreate();
    // The design surface's start-up (creates the mover) and its end.
    void StartDesignSurface();
    // Run however the window is closed; an error keeps the window open.
    void FormClose();

    std::unique_ptr<TDialogs> m_dialogs;
};
