#pragma once
// A button that cannot be seen but can hold the keyboard focus: giving it
// the focus takes the caret away from a text box. Activating it does
// nothing, Tab passes it by, and a screen reader is not shown it.

#include <QPushButton>

class TFocusSink : public QPushButton {
    Q_OBJECT
public:
    explicit TFocusSink(QWidget *parent = nullptr);
};
