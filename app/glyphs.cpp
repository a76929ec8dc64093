#include "app/glyphs.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QIcon Glyph(const QString &name)
{
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(name));
    QIcon icon;
    for (int side : {32, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
