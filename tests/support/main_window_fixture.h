#pragma once
// The main window as a test drives it: a temporary program folder (with
// MyCard/ inside it), scripted dialogs, shown and active, so that clicks,
// drags and shortcuts reach it as they reach the user's window.

#include "app/frm_main.h"
#include "tests/support/scripted_dialogs.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <initializer_list>

class TRichEditBox;
class TShape;

class TMainWindowTest : public ::testing::Test {
protected:
    // A test that wants another window size resizes `form` before calling this.
    void SetUp() override;

    // The program folder, ending in '/'.
    QString Program() const { return dir.path() + "/"; }

    // Open with `crdFile` chosen in the file dialog, Save, and Save As
    // with `file` and the filter (1 BMP, 2 JPEG) chosen, as the toolbar
    // runs them (a failure is a message in `dialogs`).
    void Open(const QString &crdFile);
    void Save();
    void SaveAs(const QString &file, int filterIndex);

    // The text box of a text slot and a shape of the design surface by its
    // object name ("Shape1"); null when there is none.
    TRichEditBox *Box(int slot) const;
    TShape *Shape(const char *objectName) const;

    // The left button at points of the design surface, sent through the
    // window: a click at one point, or a press at the first, moves through
    // the others and a release at the last.
    void Mouse(std::initializer_list<QPoint> points);

    // Moves the text box of `slot` by `by` as a drag of it would: one step
    // of the card's history.
    void MoveBox(int slot, QPoint by);

    // A card rectangle as a QRect (left, top, width, height).
    static QRect RectOf(const SlotRect &rect);

    QTemporaryDir dir;
    Tfrmmain form;
    TScriptedDialogs *dialogs = nullptr;
};
