#include "main_window/digit_box.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QSignalBlocker>

#include "platform/runtime_services.h"

namespace {

// Keys that move or delete rather than type: they work as in any text box.
bool isEditingKey(int key) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Delete:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Insert:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_Menu:
            return true;
        default:
            return key >= Qt::Key_F1 && key <= Qt::Key_F35;
    }
}

}  // namespace

DigitBox::DigitBox(QWidget* parent) : QLineEdit(parent) {
    // Digits only: an input method would only get in the way.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void DigitBox::restoreText(const QString& text) {
    const QSignalBlocker quiet(this);
    setText(text);
}

// The character a key types, as its code: digits and backspace pass, all
// else (Ctrl+V and the like are control characters) is refused.
bool DigitBox::refuses(QKeyEvent* event) const {
    const int key = event->key();
    if (isEditingKey(key)) return false;
    int code = -1;
    if (key == Qt::Key_Backspace) {
        code = 8;
    } else if (!event->text().isEmpty()) {
        code = event->text().at(0).unicode();
    } else if (key == Qt::Key_Escape) {
        code = 27;
    } else if ((event->modifiers() & Qt::ControlModifier) && key >= Qt::Key_At &&
               key <= Qt::Key_Z) {
        code = key - Qt::Key_At;
    }
    if (code < 0) return false;  // no character: nothing to filter
    return !((code >= '0' && code <= '9') || code == 8);
}

bool DigitBox::event(QEvent* event) {
    // Keep Ctrl+V and friends away from the box's own shortcuts, so that the
    // key press reaches the filter.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & Qt::ControlModifier) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void DigitBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit entered();
        return;
    }
    if (refuses(event)) {
        RuntimeServices::beep();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DigitBox::inputMethodEvent(QInputMethodEvent* event) {
    for (QChar c : event->commitString()) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            RuntimeServices::beep();
            return;
        }
    }
    QLineEdit::inputMethodEvent(event);
}

void DigitBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    emit clicked();
}
