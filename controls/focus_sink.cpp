#include "controls/focus_sink.h"

#include "controls/accessibility.h"

TFocusSink::TFocusSink(QWidget *parent) : QPushButton(parent)
{
    InstallControlAccessibility();
    // setFocus() still gives it the focus; Tab does not stop at a button
    // nobody can see.
    setFocusPolicy(Qt::ClickFocus);
    setFlat(true);
}
