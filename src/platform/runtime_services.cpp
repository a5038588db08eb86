#include "platform/runtime_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/window_texts.h"

namespace RuntimeServices {

namespace {

MessageHandler messageHandler;
BeepHandler beepHandler;
OpenHandler openHandler;
FileChooser fileChooser;

}  // namespace

void showMessage(QWidget* parent, const QString& text) {
    if (messageHandler) {
        messageHandler(parent, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, WindowTexts::kMessageTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

void beep() {
    if (beepHandler) {
        beepHandler();
        return;
    }
    QApplication::beep();
}

bool open(const QUrl& url) {
    if (openHandler) return openHandler(url);
    return QDesktopServices::openUrl(url);
}

QString chooseFileToOpen(QWidget* parent, const QString& folder, const QString& filter) {
    if (fileChooser) return fileChooser(parent, folder, filter);
    // Qt's own dialog, so that it speaks Chinese through the translations
    // loaded at start whatever desktop the program runs on.
    return QFileDialog::getOpenFileName(parent, QString(), folder, filter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

void setMessageHandler(MessageHandler handler) {
    messageHandler = std::move(handler);
}
void setBeepHandler(BeepHandler handler) {
    beepHandler = std::move(handler);
}
void setOpenHandler(OpenHandler handler) {
    openHandler = std::move(handler);
}
void setFileChooser(FileChooser handler) {
    fileChooser = std::move(handler);
}

void restoreDefaults() {
    messageHandler = nullptr;
    beepHandler = nullptr;
    openHandler = nullptr;
    fileChooser = nullptr;
}

}  // namespace RuntimeServices
