// The services the windows call on the desktop: the message box and the
// yes-or-no question, the beep, opening a folder or page with the desktop's
// opener, and the file-open dialog. Each can be replaced, so tests never
// block on a modal window or start a browser.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QFileDialog;
class QWidget;

namespace RuntimeServices {

using MessageHandler = std::function<void(QWidget* parent, const QString& text)>;
using QuestionHandler = std::function<bool(QWidget* parent, const QString& text)>;
using BeepHandler = std::function<void()>;
using OpenHandler = std::function<bool(const QUrl& url)>;
// Returns the chosen file's path, or an empty text when cancelled.
using FileChooser =
    std::function<QString(QWidget* parent, const QString& folder, const QString& filter)>;

// A modal box with the text, the title "提示" and one OK button.
void showMessage(QWidget* parent, const QString& text);
// A modal box with the text, the title "提示" and the buttons Yes and No
// (No is the default); true for Yes.
bool ask(QWidget* parent, const QString& text);
// Closes the question ask() is waiting on, if any, as if No was clicked: a
// question that no longer needs an answer.
void closeQuestion();
void beep();
// Hands the URL to the desktop without waiting. When nothing takes it, now
// or when the desktop's opener ends, `failure` (unless empty) is shown in a
// message box over `parent`.
void open(QWidget* parent, const QUrl& url, const QString& failure = {});
QString chooseFileToOpen(QWidget* parent, const QString& folder, const QString& filter);
// The open dialog chooseFileToOpen shows where the system has no dialog of
// its own: Qt's, speaking Chinese in every column whatever the locale.
QFileDialog* makeOpenDialog(QWidget* parent, const QString& folder, const QString& filter);

void setMessageHandler(MessageHandler handler);
void setQuestionHandler(QuestionHandler handler);
void setBeepHandler(BeepHandler handler);
void setOpenHandler(OpenHandler handler);
void setFileChooser(FileChooser handler);
// Back to the real desktop services.
void restoreDefaults();

}  // namespace RuntimeServices
