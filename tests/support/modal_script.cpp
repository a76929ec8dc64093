#include "tests/support/modal_script.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

TModalScript::TModalScript(std::function<void(QWidget *modal)> script)
    : m_timer(new QTimer), m_script(std::move(script))
{
    // Polled, because the window opens inside a call the test is still in.
    m_timer->setInterval(10);
    QObject::connect(m_timer, &QTimer::timeout, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        m_timer->stop();
        m_ran = true;
        m_script(modal);
    });
    m_timer->start();
}

TModalScript::~TModalScript()
{
    delete m_timer;
}
