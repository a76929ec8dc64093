#pragma once
// A main window with scripted dialogs over card folders built in a temporary
// directory, and the mouse driven through the window as the platform would.

#include "app/frm_main.h"
#include "card/card_layout.h"
#include "controls/scripted_dialogs.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

class TRichEditBox;
class TShape;

class CardFixture : public ::testing::Test {
protected:
    void SetUp() override;

    // A card folder `name` with a white template.bmp of the layout's card
    // size (white is see-through), a red picture.bmp for each used picture
    // slot, the layout as Card.crd and "Text <n>" as n.rtf for each used
    // text slot. Returns the folder, ending in '/'.
    QString MakeCard(const QString &name, const CardLayout &layout);
    // A 793 x 559 card with Pictures[0] at (100, 80)-(300, 230) and text
    // slots 1 and 3 used.
    static CardLayout SampleLayout();
    // Opens `file` through the Open command, the dialog answering with it.
    void Open(const QString &file);
    void OpenSample() { Open(MakeCard("Sample", SampleLayout()) + "Card.crd"); }

    TRichEditBox *Box(int slot) const;
    TShape *MoverShape(const char *name) const;
    static QRect RectOf(const SlotRect &r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

    // Left-button mouse at a point of the design surface.
    void Press(QPoint p);
    void MoveTo(QPoint p);
    void Release(QPoint p);
    void Drag(QPoint from, QPoint to);
    void Click(QPoint p) { Press(p); Release(p); }

    QTemporaryDir dir;
    Tfrmmain form;
    TScriptedDialogs *dialogs = nullptr;
    QStringList opened;  // files handed to the desktop
};
