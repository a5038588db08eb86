// A straight horizontal line of one pixel in a given colour.
#pragma once

#include <QColor>
#include <QWidget>

class LineControl : public QWidget {
    Q_OBJECT
public:
    LineControl(QColor colour, QWidget* parent = nullptr);

    QColor colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};
