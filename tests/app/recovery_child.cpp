// The program as a crash finds it, for the recovery test: the real main
// window opens a card, the keyboard types into a text box and nudges the
// picture frame, and once the unsaved changes are kept it says "ready" and
// waits to be killed.
//   recovery_child <program folder> <recovery folder> <card's template.bmp>
#include "app/frm_main.h"
#include "places/places.h"
#include "card/card_recovery.h"
#include "controls/shape.h"
#include "mover/mover.h"
#include "richtext/rich_edit_box.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 4)
        return 2;
    Tfrmmain form;
    form.SetPlaces(PlacesBeside(QString::fromLocal8Bit(argv[1])));
    form.StartRecovery(QString::fromLocal8Bit(argv[2]));
    form.Recovery()->DelayMs = 100;
    form.show();
    form.CardPath = QString::fromLocal8Bit(argv[3]);
    if (!form.RunCommand([&] { form.OpenCardFolder(); }))
        return 3;
    auto *box = form.findChild<TRichEditBox *>(QStringLiteral("AEdit0"));
    if (!box)
        return 4;
    box->setFocus();
    box->moveCursor(QTextCursor::Start);
    QTest::keyClicks(box, QStringLiteral("Restore me "));
    form.Mover->Select(form.Shape1);
    form.NudgeSelection(5, 0);
    form.NudgeSelection(0, 7);
    const QString kept = form.Recovery()->SessionFolder() + QStringLiteral("card.path");
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!QFile::exists(kept))
            return;
        form.Recovery()->WaitForWriting();
        poll.stop();
        std::puts("ready");
        std::fflush(stdout);
    });
    poll.start(20);
    return app.exec();
}
