// Draws the program's icon at the sizes a desktop's icon theme holds, from
// the one SVG drawing, so that no picture of it is kept twice.
//   tessaly_make_icons ICON.svg OUTDIR SIZE...
// writes OUTDIR/SIZExSIZE/apps/<name of ICON>.png for each size.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: tessaly_make_icons ICON.svg OUTDIR SIZE...\n");
        return 2;
    }
    QSvgRenderer renderer(args[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "tessaly_make_icons: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const QString name = QFileInfo(args[1]).completeBaseName();
    for (const QString &sizeText : args.mid(3)) {
        const int side = sizeText.toInt();
        if (side <= 0 || side > 1024) {
            std::fprintf(stderr, "tessaly_make_icons: bad size %s\n", qPrintable(sizeText));
            return 2;
        }
        QImage icon(side, side, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[2]).arg(side);
        if (!QDir().mkpath(folder) || !icon.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "tessaly_make_icons: cannot write into %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
