#include "platform/control_table.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace ControlTable {

void setCaption(QWidget* control, const QString& caption) {
    if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        frame->setTitle(caption);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(caption);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(false);
        label->setFocusPolicy(Qt::NoFocus);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(caption);
        if (auto* push = qobject_cast<QPushButton*>(control)) push->setAutoDefault(false);
    } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
        box->setText(caption);
    }
}

void orderTabs(const QList<QPair<int, QWidget*>>& controls) {
    QList<QPair<int, QWidget*>> ordered = controls;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype i = 1; i < ordered.size(); ++i) {
        QWidget::setTabOrder(ordered[i - 1].second, ordered[i].second);
    }
}

}  // namespace ControlTable
