#include "tests/support/accessibility_walk.h"

#include <QAccessibleInterface>
#include <QWidget>

#include <functional>

namespace {

bool IsContainerRole(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Client:
    case QAccessible::Pane:
    case QAccessible::Window:
    case QAccessible::Application:
    case QAccessible::Border:
    case QAccessible::LayeredPane:
    case QAccessible::Grouping:
        return true;
    default:
        return false;
    }
}

QString RoleName(QAccessible::Role role)
{
    const QString name = QString::fromLatin1(qAccessibleRoleString(role));
    return name.isEmpty() ? QString::number(int(role)) : name;
}

QString Label(QAccessibleInterface *node)
{
    const QObject *object = node->object();
    const QString objectName = object ? object->objectName() : QString();
    return objectName.isEmpty() ? RoleName(node->role()) : RoleName(node->role()) + QLatin1Char(' ') + objectName;
}

// The client area of a scroll area (a text box's, a list's) is part of the
// scroll area, which carries the name; a reader does not stop at it.
bool IsScrollAreaViewport(QAccessibleInterface *node)
{
    const QObject *object = node->object();
    return node->role() == QAccessible::Client && object
           && object->objectName() == QLatin1String("qt_scrollarea_viewport");
}

// Visits every visible node below `node` (itself included) with its path.
void Walk(QAccessibleInterface *node, const QString &path, int depth,
          const std::function<void(QAccessibleInterface *, const QString &, int)> &visit)
{
    if (!node || !node->isValid() || node->state().invisible)
        return;
    const QString here = path.isEmpty() ? Label(node) : path + QStringLiteral(" / ") + Label(node);
    visit(node, here, depth);
    for (int i = 0; i < node->childCount(); ++i)
        Walk(node->child(i), here, depth + 1, visit);
}

} // namespace

::testing::AssertionResult EveryControlNamed(QWidget *window)
{
    if (!window || !window->isVisible())
        return ::testing::AssertionFailure() << "the window is not shown, so a screen reader sees nothing of it";
    const QStringList unnamed = UnnamedControls(window);
    if (unnamed.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "controls without an accessible name:\n  "
                                         << unnamed.join(QStringLiteral("\n  ")).toStdString();
}

QStringList UnnamedControls(QWidget *window)
{
    QStringList unnamed;
    Walk(QAccessible::queryAccessibleInterface(window), QString(), 0,
         [&](QAccessibleInterface *node, const QString &path, int) {
             const bool container = IsContainerRole(node->role()) && node->childCount() > 0;
             if (!container && !IsScrollAreaViewport(node) && node->text(QAccessible::Name).trimmed().isEmpty())
                 unnamed << path;
         });
    return unnamed;
}

QString AccessibilityTreeText(QWidget *window)
{
    QString text;
    Walk(QAccessible::queryAccessibleInterface(window), QString(), 0,
         [&](QAccessibleInterface *node, const QString &, int depth) {
             text += QString(2 * depth, QLatin1Char(' ')) + Label(node) + QStringLiteral("  \"")
                     + node->text(QAccessible::Name) + QLatin1Char('"');
             const QString description = node->text(QAccessible::Description);
             if (!description.isEmpty())
                 text += QStringLiteral("  [") + description + QLatin1Char(']');
             text += QLatin1Char('\n');
         });
    return text;
}

QAccessibleInterface *FindAccessible(QWidget *window, const QString &objectName)
{
    QAccessibleInterface *found = nullptr;
    Walk(QAccessible::queryAccessibleInterface(window), QString(), 0,
         [&](QAccessibleInterface *node, const QString &, int) {
             if (!found && node->object() && node->object()->objectName() == objectName)
                 found = node;
         });
    return found;
}
