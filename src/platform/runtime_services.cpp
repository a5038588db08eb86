#include "runtime_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

namespace {

RuntimeServices::MessageHandler messageHandler;
RuntimeServices::BeepHandler beepHandler;
RuntimeServices::OpenHandler openHandler;
RuntimeServices::FileChooser fileChooser;

}  // namespace

void RuntimeServices::showMessage(QWidget* parent, const QString& text) {
    if (messageHandler) {
        messageHandler(parent, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("提示"), text, QMessageBox::Ok, parent);
    box.exec();
}

void RuntimeServices::beep() {
    if (beepHandler) {
        beepHandler();
        return;
    }
    QApplication::beep();
}

bool RuntimeServices::open(const QUrl& url) {
    if (openHandler) return openHandler(url);
    return QDesktopServices::openUrl(url);
}

QString RuntimeServices::chooseFileToOpen(QWidget* parent, const QString& folder,
                                          const QString& filter) {
    if (fileChooser) return fileChooser(parent, folder, filter);
    // Qt's own dialog, so that it speaks Chinese through the translations
    // loaded at start whatever desktop the program runs on.
    return QFileDialog::getOpenFileName(parent, QString(), folder, filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

void RuntimeServices::setMessageHandler(MessageHandler handler) {
    messageHandler = std::move(handler);
}
void RuntimeServices::setBeepHandler(BeepHandler handler) {
    beepHandler = std::move(handler);
}
void RuntimeServices::setOpenHandler(OpenHandler handler) {
    openHandler = std::move(handler);
}
void RuntimeServices::setFileChooser(FileChooser handler) {
    fileChooser = std::move(handler);
}

void RuntimeServices::restoreDefaults() {
    messageHandler = nullptr;
    beepHandler = nullptr;
    openHandler = nullptr;
    fileChooser = nullptr;
}
