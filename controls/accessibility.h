#pragma once
// What a screen reader is told about the program's own controls, beyond the
// names and descriptions each form sets: shapes (picture frames, the mover's
// frame and handles) and images (the card canvas) are graphics, and the
// invisible focus sink is neither shown nor focusable. Qt's AT-SPI bridge
// publishes what these interfaces say.

#include <QString>

class QAbstractScrollArea;

// Gives a control of a form its object name, the name a screen reader
// speaks and, when there is one, a description. Returns the control.
template <class Control>
Control *Named(Control *control, const char *objectName, const QString &accessibleName,
               const QString &description = QString())
{
    control->setObjectName(QString::fromLatin1(objectName));
    control->setAccessibleName(accessibleName);
    if (!description.isEmpty())
        control->setAccessibleDescription(description);
    return control;
}

// Installs the accessibility factory for TShape, TImage and TFocusSink.
// Idempotent; every form built from these controls calls it.
void InstallControlAccessibility();

// Names a scroll area's scroll bars for a screen reader; they appear only
// when the contents outgrow the area, and must be named when they do.
void NameScrollBars(QAbstractScrollArea *area);
