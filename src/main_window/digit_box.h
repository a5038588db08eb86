// A number box that takes digits only: every other character typed, pasted
// with a key or committed by an input method is refused with a beep before
// it reaches the box. Keys that move or delete work as in any box. Enter is
// reported rather than taken, and so is a click.
#pragma once

#include <QLineEdit>

class QInputMethodEvent;
class QKeyEvent;

class DigitBox : public QLineEdit {
    Q_OBJECT
public:
    explicit DigitBox(QWidget* parent = nullptr);

    // Sets the text without the change being reported: what the box held
    // before, given back.
    void restoreText(const QString& text);

signals:
    void entered();  // Enter or Return
    void clicked();  // the mouse button let go over the box

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool refuses(QKeyEvent* event) const;
};
