#include "app/application.h"

#include <QApplication>
#include <QIcon>

void InitApplication(QApplication &app)
{
    // The name only: a display name would be appended to every window caption.
    app.setApplicationName(QString::fromLatin1(ApplicationTitle));
    app.setApplicationVersion(QStringLiteral("2.55"));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/new.svg")));
}
