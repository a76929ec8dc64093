#pragma once
// A modal window driven by a test as a user drives it: the script runs once
// the window is on screen and its own event loop runs, so the call that
// opened it is still waiting, as it waits for a person.

#include <QWidget>

#include <functional>

class QTimer;

// Runs `script` with the next modal window once it is shown and its event
// loop runs. Watches until it has run or until it is destroyed, so a window
// that never opens cannot leave it watching for another test's windows.
class TModalScript {
public:
    explicit TModalScript(std::function<void(QWidget *modal)> script);
    ~TModalScript();
    TModalScript(const TModalScript &) = delete;
    TModalScript &operator=(const TModalScript &) = delete;

    bool Ran() const { return m_ran; }

private:
    QTimer *m_timer;
    std::function<void(QWidget *)> m_script;
    bool m_ran = false;
};

// Runs `open` (a click or a command that shows a modal `Dialog`) and, once
// the dialog is up, `script` with it. Whatever modal window is still open
// after the script is closed, so nothing waits for a person when a test
// fails. True when a `Dialog` was shown.
template <class Dialog>
bool WithModal(const std::function<void()> &open, const std::function<void(Dialog &)> &script)
{
    bool shown = false;
    const TModalScript user([&](QWidget *modal) {
        if (auto *dialog = qobject_cast<Dialog *>(modal)) {
            shown = true;
            script(*dialog);
        }
        if (modal->isVisible())
            modal->close();
    });
    open();
    return shown;
}
