// The save-folder picker built for real, offscreen, on a home folder of its own.
#include "folder_picker/form2.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "folder_picker/drive_list_box.h"
#include "folder_picker/folder_list_box.h"
#include "main_window/form1.h"
#include "platform/runtime_services.h"
#include "platform/twips.h"
#include "support/controls.h"
#include "support/temp_dir.h"

using tovane::test::control;
using tovane::test::TempDir;

class Form2Test : public QObject {
    Q_OBJECT

private:
    TempDir home;
    QString homePath;
    QPointer<Form1> main;

    Form2* openPicker() {
        QTest::mouseClick(control<QPushButton>(main, "Command1"), Qt::LeftButton);
        Form2* picker = Form2::instance();
        if (picker != nullptr && !QTest::qWaitForWindowExposed(picker)) return nullptr;
        return picker;
    }
    static void openFolder(Form2* picker, const QString& name) {
        FolderListBox* list = control<FolderListBox>(picker, "Dir1");
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->text() == name) {
                list->scrollToItem(list->item(row));
                const QRect cell = list->visualItemRect(list->item(row));
                // A double click as a mouse makes it: a click, then the second press.
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
                return;
            }
        }
        QFAIL(qPrintable("no entry " + name));
    }

private slots:
    void initTestCase() {
        home.makeDir("books/old");
        home.makeDir("my out");
        home.makeDir("小说");
        homePath = QString::fromStdString(home.file("")).chopped(1);
        qputenv("HOME", QFile::encodeName(homePath));
        QCOMPARE(QDir::homePath(), homePath);
    }
    void init() {
        main = Form1::ensureInstance();
        main->show();
    }
    void cleanup() {
        delete Form2::instance();
        delete main.data();
    }

    void opensAtHomeWithOneTrailingSeparator() {
        Form2* picker = openPicker();
        QVERIFY(picker);
        QCOMPARE(picker->windowTitle(), QStringLiteral("选择保存路径"));
        QCOMPARE(picker->size(), QSize(320, 230));
        QCOMPARE(control<QLabel>(picker, "Label1")->text(), QStringLiteral("路径:"));
        QCOMPARE(control<QPushButton>(picker, "Command1")->text(), QStringLiteral("确定"));
        QCOMPARE(control<FolderListBox>(picker, "Dir1")->path(), homePath);
        QCOMPARE(control<QLineEdit>(picker, "Text1")->text(), homePath + "/");
        QCOMPARE(control<DriveListBox>(picker, "Drive1")->drive(), DriveListBox::driveOf(homePath));
        QCOMPARE(control<FolderListBox>(picker, "Dir1")->geometry(),
                 Twips::rect(120, 600, 4575, 2190));
        QCOMPARE(control<QLineEdit>(picker, "Text1")->geometry(),
                 Twips::rect(600, 3000, 3255, 375));
        QVERIFY(control<QTimer>(picker, "Timer1")->isActive());
        QVERIFY(QTest::qWaitForWindowActive(picker));
        QCOMPARE(QApplication::focusWidget(), control<FolderListBox>(picker, "Dir1"));
    }

    void walkingDownAndBackUp() {
        Form2* picker = openPicker();
        openFolder(picker, QStringLiteral("books"));
        QCOMPARE(control<QLineEdit>(picker, "Text1")->text(), homePath + "/books/");
        openFolder(picker, QStringLiteral("old"));
        QCOMPARE(control<QLineEdit>(picker, "Text1")->text(), homePath + "/books/old/");
        openFolder(picker, QStringLiteral("/"));
        QCOMPARE(control<QLineEdit>(picker, "Text1")->text(),
                 QStringLiteral("/"));  // a root keeps its one separator
    }

    void okWritesTheFolderAndCloses() {
        Form2* picker = openPicker();
        openFolder(picker, QStringLiteral("my out"));
        QPointer<Form2> guard = picker;
        QTest::mouseClick(control<QPushButton>(picker, "Command1"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(main, "savepath1")->text(), homePath + "/my out/");
        QTRY_VERIFY(guard.isNull());
        // The next Settings opens at the folder saved to, centred on the window.
        picker = openPicker();
        QCOMPARE(control<QLineEdit>(picker, "Text1")->text(), homePath + "/my out/");
        QVERIFY((picker->frameGeometry().center() - main->frameGeometry().center())
                    .manhattanLength() <= 2);
    }

    // A folder highlighted by a single click is the one OK takes, as the box
    // shows; a double click still opens it.
    void okTakesTheHighlightedFolder() {
        Form2* picker = openPicker();
        FolderListBox* list = control<FolderListBox>(picker, "Dir1");
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->text() != QStringLiteral("小说")) continue;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
        }
        QCOMPARE(list->path(), homePath);
        QCOMPARE(control<QLineEdit>(picker, "Text1")->text(), homePath + "/小说/");
        QTest::mouseClick(control<QPushButton>(picker, "Command1"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(main, "savepath1")->text(), homePath + "/小说/");
    }

    void titleBarCloseWritesNothing() {
        const QString before = control<QLineEdit>(main, "savepath1")->text();
        Form2* picker = openPicker();
        openFolder(picker, QStringLiteral("小说"));
        picker->close();
        QCOMPARE(control<QLineEdit>(main, "savepath1")->text(), before);
    }

    void escapeClosesAndWritesNothing() {
        const QString before = control<QLineEdit>(main, "savepath1")->text();
        Form2* picker = openPicker();
        openFolder(picker, QStringLiteral("小说"));
        QPointer<Form2> guard = picker;
        QTest::keyClick(control<QPushButton>(picker, "Command1"), Qt::Key_Escape);
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(control<QLineEdit>(main, "savepath1")->text(), before);
    }

    void oneInstanceOnly() {
        Form2* first = openPicker();
        QCOMPARE(openPicker(), first);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(
            std::count_if(windows.begin(), windows.end(),
                          [](QWidget* w) { return qobject_cast<Form2*>(w) && w->isVisible(); }),
            1);
    }

    void typingIntoThePathBoxChangesNothing() {
        Form2* picker = openPicker();
        const QString before = control<QLineEdit>(picker, "Text1")->text();
        control<QLineEdit>(picker, "Text1")->setFocus();
        QTest::keyClicks(control<QLineEdit>(picker, "Text1"), QStringLiteral("abc"));
        QTest::keyClick(control<QLineEdit>(picker, "Text1"), Qt::Key_Backspace);
        QCOMPARE(control<QLineEdit>(picker, "Text1")->text(), before);
    }

    void okAfterTheMainWindowClosedOpensANewOne() {
        Form2* picker = openPicker();
        main->close();
        QTRY_VERIFY(main.isNull());
        openFolder(picker, QStringLiteral("books"));
        QTest::mouseClick(control<QPushButton>(picker, "Command1"), Qt::LeftButton);
        main = Form1::instance();
        QVERIFY(main);
        QVERIFY(main->isVisible());
        QCOMPARE(control<QLineEdit>(main, "savepath1")->text(), homePath + "/books/");
    }

    void sizeLockPutsThePickerBack() {
        Form2* picker = openPicker();
        picker->setFixedSize(500, 500);
        QTRY_COMPARE(picker->size(), QSize(320, 230));
    }
};

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
