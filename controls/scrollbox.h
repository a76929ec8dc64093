#pragma once
// A scroll box: its child controls are placed at fixed positions on
// Surface(), which grows to hold all of them, and the box scrolls over it.
// Child positions are measured on the surface and do not change while the
// user scrolls; the scroll positions can be read and set.

#include <QScrollArea>

class TScrollBox : public QScrollArea {
    Q_OBJECT
public:
    explicit TScrollBox(QWidget *parent = nullptr);

    // The parent for the controls shown in the box.
    QWidget *Surface() const { return m_surface; }

    int HorzPosition() const;
    void SetHorzPosition(int position);
    int VertPosition() const;
    void SetVertPosition(int position);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FitSurfaceToChildren();

    QWidget *m_surface;
};
