// A path box the program fills and the user can't type in: it never keeps
// the focus (gaining it, it is disabled and enabled again at once, which
// passes the focus on) and shows no caret or selection it couldn't use.
#pragma once

#include <QLineEdit>

class PathBox : public QLineEdit {
    Q_OBJECT
public:
    explicit PathBox(QWidget* parent = nullptr);

    // Whether a mouse button going down on it passes the focus on too.
    void setBouncesOnPress(bool bounces) { bouncesOnPress_ = bounces; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void bounce();

    bool bouncesOnPress_ = false;
};
