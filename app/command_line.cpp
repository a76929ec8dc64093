#include "app/command_line.h"

#include <QFileInfo>

TCommandLine ReadCommandLine(const QStringList &arguments)
{
    TCommandLine line;
    if (arguments.isEmpty())
        return line;
    if (arguments.size() > 1) {
        line.Kind = TCommandLine::TKind::Wrong;
        line.Problem = QStringLiteral("tessaly: one card at a time, please.");
        return line;
    }
    const QString &argument = arguments.front();
    if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
        line.Kind = TCommandLine::TKind::Help;
        return line;
    }
    if (argument == QStringLiteral("--version")) {
        line.Kind = TCommandLine::TKind::Version;
        return line;
    }
    const QFileInfo info(argument);
    // A card's layout file stands for its folder; as in Open, the name's
    // ending is compared with case.
    if (info.isDir() || (info.isFile() && argument.endsWith(QStringLiteral(".crd")))) {
        line.Kind = TCommandLine::TKind::Card;
        const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
        line.CardFolder = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
        return line;
    }
    line.Kind = TCommandLine::TKind::Wrong;
    if (argument.startsWith(QLatin1Char('-')))
        line.Problem = QStringLiteral("tessaly: unknown option \"%1\".").arg(argument);
    else if (!info.exists())
        line.Problem = QStringLiteral("tessaly: \"%1\" does not exist.").arg(argument);
    else
        line.Problem = QStringLiteral("tessaly: \"%1\" is neither a card folder nor a card's .crd file.").arg(argument);
    return line;
}

QString Usage()
{
    return QStringLiteral("Usage: tessaly [CARD_FOLDER | CARD_FOLDER/Card.crd]\n"
                          "Designs and prints greeting cards from templates.\n"
                          "With a card folder, or the Card.crd file in it, that card opens.\n"
                          "  -h, --help     show this message\n"
                          "      --version  show the version\n");
}
