#include "app/application.h"
#include "app/frm_main.h"
#include "card/card_recovery.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    InitApplication(app);
    Tfrmmain frmmain;
    frmmain.StartRecovery(DefaultRecoveryRoot());
    frmmain.showMaximized();
    // Once the window is up: changes a crash left unsaved, offered back.
    QTimer::singleShot(0, &frmmain, [&frmmain] { frmmain.OfferRecovery(); });
    return app.exec();
}
