// The status line: one line of red text that always fits. A text too long
// for it loses the middle of the file name in it, so that the figures after
// the name stay in view, and shows whole as a tooltip. What it showed can be
// kept and brought back.
#pragma once

#include <QPair>

#include "main_window/clickable_label.h"

class StatusLine : public ClickableLabel {
    Q_OBJECT
public:
    using ClickableLabel::ClickableLabel;

    // Shows `text`; `name`, a part of it, is what gives way when it is too long.
    void showFitted(const QString& text, const QString& name);
    // What it shows now, to be brought back with restore().
    QPair<QString, QString> kept() const { return {text(), toolTip()}; }
    void restore(const QPair<QString, QString>& shown);
};
