// An option button shown as its mark alone (its caption is cut off by its
// size): so that the focus is seen on it too, it draws the focus frame
// around the mark, where the style would draw it around the caption.
#pragma once

#include <QRadioButton>

class OptionMark : public QRadioButton {
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};
