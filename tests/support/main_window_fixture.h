#pragma once
// The main window as a test drives it: a temporary program folder (with
// MyCard/ inside it), scripted dialogs, shown and active, so that clicks,
// drags and shortcuts reach it as they reach the user's window.

#include "app/frm_main.h"
#include "tests/support/scripted_dialogs.h"

#include <QPoint>
#include <QRect>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <initializer_list>

class TMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;

    // The left button at points of the design surface, sent through the
    // window: a click at one point, or a press at the first, moves through
    // the others and a release at the last.
    void Mouse(std::initializer_list<QPoint> points);

    // A card rectangle as a QRect (left, top, width, height).
    static QRect RectOf(const SlotRect &rect);

    QTemporaryDir dir;
    Tfrmmain form;
    TScriptedDialogs *dialogs = nullptr;
};
