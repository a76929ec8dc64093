#include "controls/scrollbox.h"

#include "controls/accessibility.h"

#include <QChildEvent>
#include <QEvent>
#include <QScrollBar>

TScrollBox::TScrollBox(QWidget *parent) : QScrollArea(parent), m_surface(new QWidget)
{
    m_surface->setObjectName(QStringLiteral("Surface"));
    m_surface->installEventFilter(this);
    m_surface->resize(0, 0);
    setWidget(m_surface);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    NameScrollBars(this);
}

int TScrollBox::HorzPosition() const { return horizontalScrollBar()->value(); }
void TScrollBox::SetHorzPosition(int position) { horizontalScrollBar()->setValue(position); }
int TScrollBox::VertPosition() const { return verticalScrollBar()->value(); }
void TScrollBox::SetVertPosition(int position) { verticalScrollBar()->setValue(position); }

bool TScrollBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_surface) {
        if (event->type() == QEvent::ChildAdded) {
            QObject *child = static_cast<QChildEvent *>(event)->child();
            if (child->isWidgetType())
                child->installEventFilter(this);
            FitSurfaceToChildren();
        } else if (event->type() == QEvent::ChildRemoved) {
            FitSurfaceToChildren();
        }
    } else if (watched->parent() == m_surface) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            FitSurfaceToChildren();
            break;
        default:
            break;
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

void TScrollBox::FitSurfaceToChildren()
{
    int right = 0;
    int bottom = 0;
    for (QObject *object : m_surface->children()) {
        auto *child = qobject_cast<QWidget *>(object);
        if (!child || !child->isVisibleTo(m_surface))
            continue;
        const QRect bounds = child->geometry();
        right = qMax(right, bounds.x() + bounds.width());
        bottom = qMax(bottom, bounds.y() + bounds.height());
    }
    if (m_surface->size() != QSize(right, bottom))
        m_surface->resize(right, bottom);
}
