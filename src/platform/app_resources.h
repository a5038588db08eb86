// What the windows take from the installation: Qt's own texts in Chinese, the
// application icon, and the help pages that ship beside the program.
#pragma once

#include <QIcon>
#include <QString>
#include <QUrl>

class QCoreApplication;

namespace AppResources {

// Loads Qt's Simplified Chinese translations, so that its dialogs and
// buttons read "确定" rather than "OK", and makes Chinese the default locale
// (type names in the file dialog come from it). False when no translations
// were found.
bool installChineseTranslations(QCoreApplication& application);

QIcon applicationIcon();

// The folder holding the help pages, found from the executable's place in
// a build tree or an installed tree; empty when it isn't there.
QString helpFolder();
QUrl helpArticle();  // why split files can look garbled
QUrl homePage();

}  // namespace AppResources
