#include "controls/accessibility.h"

#include "controls/focus_sink.h"
#include "controls/image.h"
#include "controls/shape.h"

#include <QAccessibleWidget>

namespace {

class TControlAccessible : public QAccessibleWidget {
public:
    TControlAccessible(QWidget *widget, QAccessible::Role role, bool hidden)
        : QAccessibleWidget(widget, role), m_hidden(hidden)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (m_hidden) {
            state.invisible = true;
            state.focusable = false;
            state.focused = false;
        }
        return state;
    }

private:
    bool m_hidden;
};

QAccessibleInterface *ControlAccessibleFactory(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (qobject_cast<TFocusSink *>(object))
        return new TControlAccessible(widget, QAccessible::Button, true);
    if (auto *shape = qobject_cast<TShape *>(object))
        return new TControlAccessible(widget, shape->AccessibleRole(), false);
    if (qobject_cast<TImage *>(object))
        return new TControlAccessible(widget, QAccessible::Graphic, false);
    return nullptr;
}

} // namespace

void InstallControlAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(ControlAccessibleFactory);
        return true;
    }();
    (void)installed;
}
