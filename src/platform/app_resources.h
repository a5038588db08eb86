// What the windows take from the installation: Qt's own texts in Chinese, the
// application icon, and the help pages that ship beside the program.
#pragma once

#include <QIcon>
#include <QString>
#include <QUrl>

class QCoreApplication;
class QWidget;

class AppResources {
public:
    // Loads Qt's Simplified Chinese translations, so that its dialogs and
    // buttons read "确定" rather than "OK". False when none were found.
    static bool installChineseTranslations(QCoreApplication& application);

    static QIcon applicationIcon();

    // Title-bar buttons of both windows: minimize and close, no maximize, as
    // their size is fixed.
    static constexpr Qt::WindowFlags kWindowFlags =
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
        Qt::WindowCloseButtonHint;
    // Names a window, gives it its title and the icon, and has it destroyed
    // when it closes, so it is built afresh at its next use.
    static void setUpWindow(QWidget* window, const QString& name, const QString& title);

    // The folder holding the help pages, found from the executable's place in
    // a build tree or an installed tree; empty when it isn't there.
    static QString helpFolder();
    static QUrl helpArticle();  // why split files can look garbled
    static QUrl homePage();
};
