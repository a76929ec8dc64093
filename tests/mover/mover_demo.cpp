// A small window to try the mover by hand: click a box to frame it, drag the
// frame to move it, drag a handle to resize it, click the background to
// remove the frame. Each reported step is printed.
#include "mover/mover.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTextStream>

namespace {

QTextStream out(stdout);

QString text(const QRect &r)
{
    return QStringLiteral("(%1, %2) %3 x %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

class ClickToSelect : public QObject {
public:
    ClickToSelect(TMover *mover, QWidget *container)
        : QObject(container), m_mover(mover), m_container(container)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            if (watched == m_container) {
                m_mover->Unselect();
                return false;
            }
            m_mover->Select(static_cast<QWidget *>(watched));
            return true; // a label would pass it on to the container
        }
        return false;
    }

private:
    TMover *m_mover;
    QWidget *m_container;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget form;
    form.setWindowTitle(QStringLiteral("Mover"));
    form.resize(520, 360);

    auto *mover = new TMover(&form);
    auto *container = new QWidget(&form);
    container->setGeometry(0, 0, 520, 360);
    container->setAutoFillBackground(true);
    container->setPalette(QPalette(QColor(255, 250, 240)));
    mover->AttachTo(container);

    auto *selector = new ClickToSelect(mover, container);
    container->installEventFilter(selector);
    const struct {
        const char *caption;
        QRect bounds;
        QColor fill;
    } boxes[] = {
        {"Happy Birthday!", QRect(40, 40, 180, 60), QColor(255, 220, 230)},
        {"With love", QRect(300, 60, 140, 50), QColor(220, 235, 255)},
        {"Picture", QRect(120, 180, 160, 120), QColor(230, 230, 200)},
    };
    for (const auto &box : boxes) {
        auto *label = new QLabel(QString::fromLatin1(box.caption), container);
        label->setObjectName(QString::fromLatin1(box.caption));
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        label->setPalette(QPalette(box.fill));
        label->setGeometry(box.bounds);
        label->installEventFilter(selector);
    }

    mover->OnEndMove = [](QWidget *c, bool moved, QPoint xy) {
        out << "OnEndMove " << c->objectName() << " moved=" << moved << " xy=(" << xy.x() << ", "
            << xy.y() << ") now " << text(c->geometry()) << Qt::endl;
    };
    mover->OnEndResize = [](QWidget *c) {
        out << "OnEndResize " << c->objectName() << " now " << text(c->geometry()) << Qt::endl;
    };
    mover->OnDClick = [](TMover *) { out << "OnDClick" << Qt::endl; };

    form.show();
    return app.exec();
}
