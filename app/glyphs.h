#pragma once
#include <QIcon>
#include <QString>

// A toolbar glyph drawn from the SVG file :/icons/<name>.svg, rendered
// crisply at 32 x 32 pixels and at twice that for high-density screens.
QIcon Glyph(const QString &name);
