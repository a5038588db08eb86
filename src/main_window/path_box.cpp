#include "main_window/path_box.h"

#include <QFocusEvent>

PathBox::PathBox(QWidget* parent) : QLineEdit(parent) {}

// Disabling passes the focus on; enabling at once keeps it from looking greyed.
void PathBox::bounce() {
    setEnabled(false);
    setEnabled(true);
    deselect();
}

// Passed on the way the focus came: Shift+Tab goes on backwards, so that it
// isn't sent forwards again to where it came from.
void PathBox::focusInEvent(QFocusEvent* event) {
    if (event->reason() == Qt::BacktabFocusReason) {
        for (QWidget* before = previousInFocusChain(); before != this;
             before = before->previousInFocusChain()) {
            if (before->isEnabled() && before->isVisible() &&
                (before->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
                before->window() == window() && !qobject_cast<PathBox*>(before)) {
                before->setFocus(Qt::BacktabFocusReason);
                deselect();
                return;
            }
        }
    }
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
