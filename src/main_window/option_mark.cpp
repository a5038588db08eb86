#include "main_window/option_mark.h"

#include <QStyleOptionFocusRect>
#include <QStylePainter>

void OptionMark::paintEvent(QPaintEvent* event) {
    QRadioButton::paintEvent(event);
    if (!hasFocus()) return;
    QStyleOptionButton button;
    initStyleOption(&button);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    // The frame hugs the widget's edge: the mark fills the button but for a
    // pixel or two each side.
    frame.rect = style()
                     ->subElementRect(QStyle::SE_RadioButtonIndicator, &button, this)
                     .adjusted(-1, -1, 1, 1)
                     .intersected(rect());
    frame.backgroundColor = palette().color(QPalette::Window);
    QStylePainter painter(this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}
