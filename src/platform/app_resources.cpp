#include "platform/app_resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace AppResources {

bool installChineseTranslations(QCoreApplication& application) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    bool loaded = false;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const QString& name : {QStringLiteral("qtbase_zh_CN")}) {
        auto* translator = new QTranslator(&application);
        if (translator->load(name, folder) && QCoreApplication::installTranslator(translator)) {
            loaded = true;
        } else {
            delete translator;
        }
    }
    return loaded;
}

QIcon applicationIcon() {
    return QIcon(QStringLiteral(":/icons/tovane.png"));
}

QString helpFolder() {
    const QDir binary(QCoreApplication::applicationDirPath());
    // Both the build tree and an installed prefix keep the pages at ../share/tovane/help.
    for (const QString& relative :
         {QStringLiteral("../share/tovane/help"), QStringLiteral("help")}) {
        const QFileInfo folder(binary.filePath(relative));
        if (folder.isDir() &&
            QFileInfo::exists(folder.filePath() + QStringLiteral("/index.html"))) {
            return folder.canonicalFilePath();
        }
    }
    return {};
}

QUrl helpArticle() {
    const QString folder = helpFolder();
    return folder.isEmpty() ? QUrl()
                            : QUrl::fromLocalFile(folder + QStringLiteral("/garbled.html"));
}

QUrl homePage() {
    const QString folder = helpFolder();
    return folder.isEmpty() ? QUrl() : QUrl::fromLocalFile(folder + QStringLiteral("/index.html"));
}

}  // namespace AppResources
