#include "platform/window_setup.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QWidget>

#include "platform/app_resources.h"

namespace WindowSetup {

namespace {

class EnterClicks : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        static_cast<QAbstractButton*>(watched)->click();  // nothing when disabled
        return true;
    }
};

}  // namespace

void setUp(QWidget* window, const QString& name, const QString& title) {
    window->setObjectName(name);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(title);
    window->setWindowIcon(AppResources::applicationIcon());
}

void clickOnEnter(QAbstractButton* button) {
    button->installEventFilter(new EnterClicks(button));
}

}  // namespace WindowSetup
