#pragma once
// What a screen reader is told about the program's own controls, beyond the
// names and descriptions each form sets: the role of a shape (a picture
// frame is a graphic, a mover handle a grip) and the canvas, and that the
// invisible focus sink is not there at all. Qt's AT-SPI bridge publishes
// what these interfaces say.

// Installs the accessibility factory for TShape, TImage and TFocusSink.
// Idempotent; every form built from these controls calls it.
void InstallControlAccessibility();
