#include "app/application.h"
#include "app/frm_main.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    InitApplication(app);
    Tfrmmain frmmain;
    frmmain.showMaximized();
    return app.exec();
}
