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
    // Qt's own folder on a Linux system; beside the program in the Windows zip.
    const QString folders[] = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(&application);
        if (translator->load(QStringLiteral("qtbase_zh_CN"), folder) &&
            QCoreApplication::installTranslator(translator)) {
            return true;
        }
        delete translator;
    }
    return false;
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
