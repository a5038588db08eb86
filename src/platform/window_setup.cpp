#include "platform/window_setup.h"

#include <QWidget>

#include "platform/app_resources.h"

namespace WindowSetup {

void setUp(QWidget* window, const QString& name, const QString& title) {
    window->setObjectName(name);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(title);
    window->setWindowIcon(AppResources::applicationIcon());
}

}  // namespace WindowSetup
