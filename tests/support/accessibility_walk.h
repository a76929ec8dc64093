#pragma once
// Walks a window as a screen reader sees it (Qt's accessibility tree, the one
// the AT-SPI bridge publishes) and finds every visible control that has no
// accessible name. Any window or dialog is held to it, once it is shown:
//     dialog.show();
//     EXPECT_TRUE(EveryControlNamed(&dialog));
//
// A control is anything the reader would stop at: every visible node except
// plain containers (a client area, pane or window that holds other nodes) and
// the client area of a scroll area (a text box's, a list's), which is part of
// the named scroll area. A leaf is always a control, whatever its role, so a
// custom widget with the default role cannot slip through unnamed.

#include <QAccessible>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

class QWidget;

// Passes when every visible control below `window` (itself included) has a
// name; fails listing the unnamed ones, and fails for a window that is not
// shown, whose tree a reader cannot see and which would pass unchecked.
::testing::AssertionResult EveryControlNamed(QWidget *window);

// One line per unnamed control: its path of roles and object names from the
// top, e.g. "Window frmmain / Client Panel1 / Button BitBtn1".
QStringList UnnamedControls(QWidget *window);

// The whole visible tree, one node a line, indented by depth:
// role, object name, "name" and [description]; for reading and for notes.
QString AccessibilityTreeText(QWidget *window);

// The visible node whose object has this object name, or null.
QAccessibleInterface *FindAccessible(QWidget *window, const QString &objectName);
