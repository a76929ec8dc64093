#pragma once
// An image control: shows one bitmap, at its own size from the top-left
// corner or stretched over the control, and reports clicks. Surface() gives a
// bitmap of the control's own size to draw on, as a drawing canvas would.
//
// With no picture the control draws nothing, so its parent shows through.

#include <QImage>
#include <QWidget>

#include <functional>

class TImage : public QWidget {
    Q_OBJECT
public:
    using ClickHandler = std::function<void(TImage *sender)>;

    explicit TImage(QWidget *parent = nullptr);

    const QImage &Picture() const { return m_picture; }
    void SetPicture(const QImage &picture);
    void ClearPicture();

    // A bitmap of the control's size (white where nothing was drawn yet),
    // created on first use; call update() after drawing on it.
    QImage &Surface();

    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch);

    // A left-button press and release inside the control.
    ClickHandler OnClick;

protected:
    // After SetPicture and ClearPicture.
    virtual void PictureChanged() {}
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_picture;
    bool m_stretch = false;
    bool m_pressed = false;
};
