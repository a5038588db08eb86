// What both windows share in how they are set up: their title-bar buttons,
// name, title and icon, and being destroyed when closed.
#pragma once

#include <QString>
#include <Qt>

class QAbstractButton;
class QWidget;

namespace WindowSetup {

// Minimize and close, no maximize, as both windows keep a fixed size.
inline constexpr Qt::WindowFlags kWindowFlags =
    Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
    Qt::WindowCloseButtonHint;

// Names a window, gives it its title and the icon, and has it destroyed
// when it closes, so it is built afresh at its next use.
void setUp(QWidget* window, const QString& name, const QString& title);

// Enter on the focused button clicks it, as Space does (Qt does that only in
// dialogs), as users of this kind of program expect.
void clickOnEnter(QAbstractButton* button);

}  // namespace WindowSetup
