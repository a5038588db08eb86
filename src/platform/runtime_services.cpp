#include "platform/runtime_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QTreeView>

#include "platform/chinese_file_list.h"
#include "platform/window_texts.h"

namespace RuntimeServices {

namespace {

MessageHandler messageHandler;
QuestionHandler questionHandler;
BeepHandler beepHandler;
OpenHandler openHandler;
FileChooser fileChooser;
QPointer<QMessageBox> openQuestion;  // the question ask() waits on

}  // namespace

void showMessage(QWidget* parent, const QString& text) {
    if (messageHandler) {
        messageHandler(parent, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, WindowTexts::kMessageTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

bool ask(QWidget* parent, const QString& text) {
    if (questionHandler) return questionHandler(parent, text);
    QMessageBox box(QMessageBox::NoIcon, WindowTexts::kMessageTitle, text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    openQuestion = &box;
    const bool yes = box.exec() == QMessageBox::Yes;
    openQuestion = nullptr;
    return yes;
}

void closeQuestion() {
    if (openQuestion) openQuestion->done(QMessageBox::No);
}

void beep() {
    if (beepHandler) {
        beepHandler();
        return;
    }
    QApplication::beep();
}

void open(QWidget* parent, const QUrl& url, const QString& failure) {
    const QPointer<QWidget> owner(parent);
    const auto failed = [owner, failure] {
        if (!failure.isEmpty()) showMessage(owner, failure);
    };
    if (openHandler) {
        if (!openHandler(url)) failed();
        return;
    }
#ifdef Q_OS_WIN
    // The shell says at once whether anything took the address.
    if (!QDesktopServices::openUrl(url)) failed();
#else
    // The desktop's opener says so only when it ends: it is watched, without
    // waiting for it. It has no parent, so that a program that ends first
    // leaves it to go on.
    auto* opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString()});
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, failed](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0) failed();
                         opener->deleteLater();
                     });
    QObject::connect(opener, &QProcess::errorOccurred, opener,
                     [opener, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         failed();
                         opener->deleteLater();
                     });
    opener->start();
#endif
}

QString chooseFileToOpen(QWidget* parent, const QString& folder, const QString& filter) {
    if (fileChooser) return fileChooser(parent, folder, filter);
#ifdef Q_OS_WIN
    // The system's own dialog, in the system's language.
    return QFileDialog::getOpenFileName(parent, QString(), folder, filter);
#else
    QFileDialog* dialog = makeOpenDialog(parent, folder, filter);
    const bool chosen = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
    const QString file = chosen ? dialog->selectedFiles().constFirst() : QString();
    delete dialog;
    return file;
#endif
}

QFileDialog* makeOpenDialog(QWidget* parent, const QString& folder, const QString& filter) {
    // Qt's own dialog, so that it speaks Chinese through the translations
    // loaded at start whatever desktop the program runs on; the list's sizes,
    // types and dates are shown the Chinese way too.
    auto* dialog = new QFileDialog(parent, QString(), folder, filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setProxyModel(new ChineseFileList(dialog));
    dialog->setViewMode(QFileDialog::Detail);
    dialog->resize(760, 460);
    if (auto* list = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
        // Wide enough for every column's text; the name takes what is left.
        QHeaderView* header = list->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column) {
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        }
    }
    return dialog;
}

void setMessageHandler(MessageHandler handler) {
    messageHandler = std::move(handler);
}
void setQuestionHandler(QuestionHandler handler) {
    questionHandler = std::move(handler);
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
    questionHandler = nullptr;
    beepHandler = nullptr;
    openHandler = nullptr;
    fileChooser = nullptr;
}

}  // namespace RuntimeServices
