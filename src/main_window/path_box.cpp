#include "main_window/path_box.h"

PathBox::PathBox(QWidget* parent) : QLineEdit(parent) {}

// Disabling passes the focus on; enabling at once keeps it from looking greyed.
void PathBox::bounce() {
    setEnabled(false);
    setEnabled(true);
    deselect();
}

void PathBox::focusInEvent(QFocusEvent* /*event*/) {
    bounce();
}

// What the box itself would do under the mouse (place a caret, start a
// selection) isn't done.
void PathBox::mousePressEvent(QMouseEvent* /*event*/) {
    if (bouncesOnPress_) bounce();
}
void PathBox::mouseDoubleClickEvent(QMouseEvent* /*event*/) {}
void PathBox::mouseMoveEvent(QMouseEvent* /*event*/) {}
void PathBox::mouseReleaseEvent(QMouseEvent* /*event*/) {}
