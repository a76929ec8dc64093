#include "app/application.h"
#include "app/command_line.h"
#include "app/frm_main.h"
#include "card/card_recovery.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    // Read before the window system is reached, so that --help works
    // without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const TCommandLine line = ReadCommandLine(arguments);
    switch (line.Kind) {
    case TCommandLine::TKind::Help:
        std::fputs(qPrintable(Usage()), stdout);
        return 0;
    case TCommandLine::TKind::Version:
        std::printf("%s %s\n", ApplicationTitle, ApplicationVersion);
        return 0;
    case TCommandLine::TKind::Wrong:
        std::fprintf(stderr, "%s\n%s", qPrintable(line.Problem), qPrintable(Usage()));
        return 2;
    case TCommandLine::TKind::Nothing:
    case TCommandLine::TKind::Card:
        break;
    }

    QApplication app(argc, argv);
    InitApplication(app);
    Tfrmmain frmmain;
    frmmain.StartRecovery(DefaultRecoveryRoot());
    frmmain.showMaximized();
    // Once the window is up: changes a crash left unsaved, offered back
    // before any card is opened.
    QTimer::singleShot(0, &frmmain, [&frmmain] { frmmain.OfferRecovery(); });
    if (line.Kind == TCommandLine::TKind::Card) {
        // Once the window is up, so that a refusal has a window to stand over.
        QTimer::singleShot(0, &frmmain, [&frmmain, folder = line.CardFolder] {
            frmmain.RunCommand([&frmmain, folder] { frmmain.OpenInPlaceOfTheCard(folder + QStringLiteral("template.bmp")); });
        });
    }
    return app.exec();
}
