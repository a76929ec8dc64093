#include "app/command_guard.h"

#include <QString>

#include <exception>
#include <new>

bool RunGuarded(TDialogs &dialogs, const std::function<void()> &command)
{
    QString message;
    try {
        command();
        return true;
    } catch (const std::bad_alloc &) {
        message = QStringLiteral("There is not enough memory to complete this command.");
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("An unexpected error ended this command.");
    }
    if (!message.isEmpty())
        dialogs.ShowMessage(message);
    return false;
}
