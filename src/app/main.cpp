// Start-up: the single main window, shown with every control in its initial
// state. The program ends when its last window closes.
#include <QApplication>
#include <QStringList>
#include <csignal>

#include "app_resources.h"
#include "form1.h"
#include "interface_fonts.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovane"));
    QApplication::setApplicationVersion(QStringLiteral(TOVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tovane"));
    QApplication::setWindowIcon(AppResources::applicationIcon());
    InterfaceFonts::apply(application);
    AppResources::installChineseTranslations(application);
    // A file-size limit must show up as a write error the run reports.
    std::signal(SIGXFSZ, SIG_IGN);

    Form1* window = Form1::ensureInstance();
    // "Open with" hands over one text file: it is chosen as Browse would.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty()) window->chooseSource(arguments.first());
    window->show();
    return QApplication::exec();
}
