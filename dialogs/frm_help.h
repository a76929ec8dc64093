#pragma once
// The program's own help window: the user guide (an HTML file with its
// pictures beside it) in a text browser, with Back, Forward and Contents.
// It needs no web browser; links that leave the guide go to the desktop.

#include <QUrl>
#include <QWidget>

#include <functional>

class QTextBrowser;
class QToolButton;

class TFrmHelp : public QWidget {
    Q_OBJECT
public:
    explicit TFrmHelp(QWidget *parent = nullptr);

    // Shows the guide at `page` (a file:// address, with a #section or
    // without); false when the file cannot be read.
    bool ShowPage(const QUrl &page);

    // Opens an address outside the guide (a web page, mail); tests replace
    // it so that no browser starts.
    std::function<bool(const QUrl &)> OpenOutside;

    QTextBrowser *Browser = nullptr;
    QToolButton *BackButton = nullptr;
    QToolButton *ForwardButton = nullptr;
    QToolButton *ContentsButton = nullptr;

private:
    void FollowLink(const QUrl &link);

    QUrl m_home;  // the guide's first page, for Contents
};
