// A window's controls as its layout lists them, one row each: name, kind,
// container, place and size in twips, caption and tab index. The window is
// built from its table in the order of the rows, which is also the order
// controls are stacked in, later rows over earlier ones.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <type_traits>

#include "platform/twips.h"

namespace ControlTable {

template <typename Window>
struct Row {
    const char* name;
    QWidget* (*make)(Window& window, QWidget* container);
    const char* container;  // a row above; nullptr for the window itself
    double left, top, width, height;
    QString caption;  // a frame's title, a label's or a button's text, a box's text
    int tabIndex;     // the order the focus travels in; -1 for none
};

// Makes the control a window member points to, as the member's own type.
template <auto member, typename Window>
QWidget* make(Window& window, QWidget* container) {
    using Pointer = std::remove_reference_t<decltype(window.*member)>;
    window.*member = new std::remove_pointer_t<Pointer>(container);
    return window.*member;
}

// Sets a control's caption as its kind shows one. Labels are left-aligned
// from their top-left corner and never wrap; buttons don't take Enter as a
// dialog's default button would.
void setCaption(QWidget* control, const QString& caption);
// Orders the focus chain of `controls` by their tab index.
void orderTabs(const QList<QPair<int, QWidget*>>& controls);

// Builds the window's controls from its table: made, named, placed, given
// their captions, and put in the tab order.
template <typename Window>
void build(Window& window, std::initializer_list<Row<Window>> rows) {
    QList<QPair<int, QWidget*>> tabStops;
    for (const Row<Window>& row : rows) {
        QWidget* container =
            row.container == nullptr
                ? static_cast<QWidget*>(&window)
                : window.template findChild<QWidget*>(QString::fromLatin1(row.container));
        QWidget* control = row.make(window, container);
        control->setObjectName(QString::fromLatin1(row.name));
        setCaption(control, row.caption);
        Twips::place(control, row.left, row.top, row.width, row.height);
        // Frames and labels carry an index but take no focus; ordering a frame
        // would move its children along with it.
        if (row.tabIndex >= 0 && (control->focusPolicy() & Qt::TabFocus) != 0) {
            tabStops.append({row.tabIndex, control});
        }
    }
    orderTabs(tabStops);
}

}  // namespace ControlTable
