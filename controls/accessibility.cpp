#include "controls/accessibility.h"

#include "controls/focus_sink.h"
#include "controls/image.h"
#include "controls/shape.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QScrollBar>

namespace {

// Shapes and images are graphics (the mover's handles too: AT-SPI has no
// better role for a mouse-only grip); the focus sink is a button nobody sees.
class TControlAccessible : public QAccessibleWidget {
public:
    explicit TControlAccessible(QWidget *widget)
        : QAccessibleWidget(widget, qobject_cast<TFocusSink *>(widget) ? QAccessible::Button : QAccessible::Graphic)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (qobject_cast<const TFocusSink *>(object())) {
            // Nobody can see it: a reader neither shows it nor moves to it.
            state.invisible = true;
            state.focusable = false;
            state.focused = false;
        }
        return state;
    }
};

QAccessibleInterface *ControlAccessibleFactory(const QString &, QObject *object)
{
    const bool ours = qobject_cast<TFocusSink *>(object) || qobject_cast<TShape *>(object)
                      || qobject_cast<TImage *>(object);
    return ours ? new TControlAccessible(static_cast<QWidget *>(object)) : nullptr;
}

} // namespace

void NameScrollBars(QAbstractScrollArea *area)
{
    area->horizontalScrollBar()->setAccessibleName(QStringLiteral("Scroll left and right"));
    area->verticalScrollBar()->setAccessibleName(QStringLiteral("Scroll up and down"));
}

void InstallControlAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(ControlAccessibleFactory);
        return true;
    }();
    (void)installed;
}
