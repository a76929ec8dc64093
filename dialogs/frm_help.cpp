#include "dialogs/frm_help.h"

#include "controls/accessibility.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton *NavigationButton(QWidget *parent, const char *name, const QString &caption, QStyle::StandardPixmap icon,
                              const QKeySequence &keys)
{
    auto *button = Named(new QToolButton(parent), name, caption);
    button->setText(caption);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setShortcut(keys);
    button->setToolTip(QStringLiteral("%1 (%2)").arg(caption, keys.toString(QKeySequence::NativeText)));
    return button;
}

} // namespace

TFrmHelp::TFrmHelp(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    OpenOutside = [](const QUrl &address) { return QDesktopServices::openUrl(address); };
    setObjectName(QStringLiteral("FrmHelp"));
    setWindowTitle(QStringLiteral("Tessaly Help"));
    setAccessibleName(QStringLiteral("Tessaly Help"));
    resize(820, 720);

    BackButton = NavigationButton(this, "BackButton", QStringLiteral("Back"), QStyle::SP_ArrowBack,
                                  QKeySequence(QKeySequence::Back));
    ForwardButton = NavigationButton(this, "ForwardButton", QStringLiteral("Forward"), QStyle::SP_ArrowForward,
                                     QKeySequence(QKeySequence::Forward));
    ContentsButton = NavigationButton(this, "ContentsButton", QStringLiteral("Contents"), QStyle::SP_DirHomeIcon,
                                      QKeySequence(Qt::ALT | Qt::Key_Home));
    Browser = Named(new QTextBrowser(this), "Browser", QStringLiteral("User guide"));
    // Links inside the guide stay here; others go to the desktop.
    Browser->setOpenLinks(false);
    NameScrollBars(Browser);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BackButton);
    buttons->addWidget(ForwardButton);
    buttons->addWidget(ContentsButton);
    buttons->addStretch(1);
    auto *column = new QVBoxLayout(this);
    column->addLayout(buttons);
    column->addWidget(Browser, 1);

    BackButton->setEnabled(false);
    ForwardButton->setEnabled(false);
    connect(BackButton, &QToolButton::clicked, Browser, &QTextBrowser::backward);
    connect(ForwardButton, &QToolButton::clicked, Browser, &QTextBrowser::forward);
    connect(ContentsButton, &QToolButton::clicked, this, [this] { Browser->setSource(m_home); });
    connect(Browser, &QTextBrowser::backwardAvailable, BackButton, &QToolButton::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, ForwardButton, &QToolButton::setEnabled);
    connect(Browser, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) { FollowLink(link); });
    // Escape closes it, as it closes the program's dialogs.
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

bool TFrmHelp::ShowPage(const QUrl &page)
{
    if (!page.isLocalFile() || !QFileInfo(page.toLocalFile()).isFile())
        return false;
    QUrl home = page;
    home.setFragment(QString());
    if (m_home != home) {
        m_home = home;
        Browser->clearHistory();
    }
    Browser->setSource(page);
    // The keys scroll the guide at once.
    Browser->setFocus();
    return true;
}

void TFrmHelp::FollowLink(const QUrl &link)
{
    const QUrl target = Browser->source().resolved(link);
    if (target.isLocalFile() && QFileInfo(target.toLocalFile()).isFile())
        Browser->setSource(target);
    else
        OpenOutside(target);
}
