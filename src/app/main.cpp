// Start-up: the single main window, shown with every control in its initial
// state. The program ends when its last window closes.
#include <QApplication>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "main_window/form1.h"
#include "platform/app_resources.h"
#include "platform/interface_fonts.h"

namespace {

// Tells whether an installation is whole: the help pages and Qt's Chinese
// texts are where the program looks for them.
int checkInstallation(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QString help = AppResources::helpFolder();
    const bool translated = AppResources::installChineseTranslations(application);
    std::printf("help pages: %s\n", help.isEmpty() ? "not found" : qPrintable(help));
    std::printf("Chinese translations: %s\n", translated ? "loaded" : "not found");
    return !help.isEmpty() && translated ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tovane %s\n", TOVANE_VERSION);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--check-install") == 0) {
        return checkInstallation(argc, argv);
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovane"));
    QApplication::setApplicationVersion(QStringLiteral(TOVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tovane"));
    QApplication::setWindowIcon(AppResources::applicationIcon());
    InterfaceFonts::apply(application);
    AppResources::installChineseTranslations(application);
#ifdef SIGXFSZ
    // A file-size limit must show up as a write error the run reports.
    std::signal(SIGXFSZ, SIG_IGN);
#endif

    Form1* window = Form1::ensureInstance();
    // "Open with" hands over one text file: it is chosen as Browse would.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty()) window->chooseSource(arguments.first());
    window->show();
    return QApplication::exec();
}
