#include "app/application.h"

#include <QApplication>
#include <QIcon>

void InitApplication(QApplication &app)
{
    // The name only: a display name would be appended to every window caption.
    app.setApplicationName(QString::fromLatin1(ApplicationTitle));
    app.setApplicationVersion(QString::fromLatin1(ApplicationVersion));
    // The desktop matches the windows with the menu entry and its icon.
    app.setDesktopFileName(QString::fromLatin1(ApplicationId));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(ApplicationId))));
}
