// The main window built for real, offscreen, and driven with clicks and keys.
#include "main_window/form1.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "folder_picker/form2.h"
#include "main_window/clickable_label.h"
#include "main_window/line_control.h"
#include "platform/runtime_services.h"
#include "platform/twips.h"
#include "support/controls.h"
#include "support/temp_dir.h"

using tovane::test::control;
using tovane::test::TempDir;

class Form1Test : public QObject {
    Q_OBJECT

private:
    QPointer<Form1> form;
    QStringList messages;
    QList<QWidget*> messageParents;
    int beeps = 0;
    QList<QUrl> opened;
    bool opensPages = true;      // whether a browser takes the pages
    QStringList chooserAnswers;  // what the file dialog returns, one per use
    QStringList chooserFolders;
    QStringList questions;
    bool answer = true;  // to every yes-or-no question

    template <typename T>
    T* c(const char* name) const {
        return control<T>(form, name);
    }
    // The settings a run holds still, in the order they are held.
    QList<QWidget*> settings() const {
        return {c<QPushButton>("Command2"), c<QPushButton>("Command1"), c<QRadioButton>("Option1"),
                c<QRadioButton>("Option2"), c<QLineEdit>("Text2"),      c<QLineEdit>("Text3")};
    }
    void drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = c<QLineEdit>("Text2")->geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form, &enter);
        if (!enter.isAccepted()) return;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form, &dropped);
    }

    QRect twipsOf(QWidget* control) const {
        const double perPixel = Twips::perPixel(control);
        const QRect r = control->geometry();
        return {qRound(r.x() * perPixel), qRound(r.y() * perPixel), qRound(r.width() * perPixel),
                qRound(r.height() * perPixel)};
    }
    void waitForSplit() {
        QSignalSpy done(form.data(), &Form1::splitFinished);
        if (form->isSplitting()) QVERIFY(done.wait(20000));
    }

private slots:
    void init() {
        messages.clear();
        messageParents.clear();
        beeps = 0;
        opened.clear();
        opensPages = true;
        chooserAnswers.clear();
        chooserFolders.clear();
        questions.clear();
        answer = true;
        RuntimeServices::setQuestionHandler([this](QWidget*, const QString& text) {
            questions << text;
            return answer;
        });
        RuntimeServices::setMessageHandler([this](QWidget* parent, const QString& text) {
            messages << text;
            messageParents << parent;
        });
        RuntimeServices::setBeepHandler([this] { ++beeps; });
        RuntimeServices::setOpenHandler([this](const QUrl& url) {
            opened << url;
            return opensPages;
        });
        RuntimeServices::setFileChooser(
            [this](QWidget*, const QString& folder, const QString& filter) {
                chooserFolders << folder;
                if (filter != QStringLiteral("TXT文件(*.txt)"))
                    return QStringLiteral("wrong filter");
                return chooserAnswers.isEmpty() ? QString() : chooserAnswers.takeFirst();
            });
        form = Form1::ensureInstance();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }
    void cleanup() {
        if (Form2* picker = Form2::instance()) delete picker;
        delete form.data();
        RuntimeServices::restoreDefaults();
    }

    // ---- layout -----------------------------------------------------------

    void initialTextsAndState() {
        QCOMPARE(form->windowTitle(), QStringLiteral("Tovane V3.1 正式版"));
        QCOMPARE(control<QGroupBox>(form, "Frame1")->title(), QStringLiteral("基本设置"));
        QCOMPARE(control<QLabel>(form, "Label2")->text(), QStringLiteral("TxT文件："));
        QCOMPARE(control<QLineEdit>(form, "Text1")->text(),
                 QStringLiteral("请点击“浏览”选择要分割的TxT文件"));
        QCOMPARE(control<QPushButton>(form, "Command2")->text(), QStringLiteral("浏 览"));
        QCOMPARE(control<QLabel>(form, "Label1")->text(), QStringLiteral("保存到："));
        QCOMPARE(control<QLineEdit>(form, "savepath1")->text(),
                 QStringLiteral("请“设置”要保存分割后文件的路径"));
        QCOMPARE(control<QPushButton>(form, "Command1")->text(), QStringLiteral("设  置"));
        QCOMPARE(control<QPushButton>(form, "Command3")->text(), QStringLiteral("打  开"));
        QVERIFY(control<QGroupBox>(form, "Frame2")->title().isEmpty());
        QVERIFY(control<QGroupBox>(form, "Frame3")->title().isEmpty());
        QCOMPARE(control<QLabel>(form, "Label3")->text(), QStringLiteral("每"));
        QCOMPARE(control<QLineEdit>(form, "Text2")->text(), QStringLiteral("100"));
        QCOMPARE(control<QLabel>(form, "Label4")->text(), QStringLiteral("KB分割成一个文件"));
        QCOMPARE(control<QLabel>(form, "Label7")->text(), QStringLiteral("平均分割成"));
        QCOMPARE(control<QLineEdit>(form, "Text3")->text(), QStringLiteral("10"));
        QCOMPARE(control<QLabel>(form, "Label6")->text(), QStringLiteral("个文件"));
        QCOMPARE(control<QPushButton>(form, "Command4")->text(), QStringLiteral("开始分割"));
        QCOMPARE(control<QGroupBox>(form, "Frame4")->title(), QStringLiteral("状态栏"));
        QVERIFY(
            control<ClickableLabel>(form, "ztl")->text().startsWith(QStringLiteral("  欢迎使用,")));
        QVERIFY(control<ClickableLabel>(form, "ztl")->text().contains(QStringLiteral("Tovane")));
        QCOMPARE(control<ClickableLabel>(form, "Label5")->text(),
                 QStringLiteral("异常处理:分割后的TxT文件全部是“乱码”怎么办?"));
        QVERIFY(control<QLineEdit>(form, "Text4")->text().isEmpty());
        // Loading ran no change handler: the mode is by size although Text3 holds 10.
        QVERIFY(control<QRadioButton>(form, "Option1")->isChecked());
        QVERIFY(!control<QRadioButton>(form, "Option2")->isChecked());
        QVERIFY(control<QPushButton>(form, "Command4")->isEnabled());
        QVERIFY(control<QTimer>(form, "Timer1")->isActive());
        QCOMPARE(control<QTimer>(form, "Timer1")->interval(), 50);
        QVERIFY(control<QTimer>(form, "Timer2")->isActive());
        QCOMPARE(control<QTimer>(form, "Timer2")->interval(), 10);
    }

    void fontsColoursAndSettings() {
        for (QLineEdit* box :
             {control<QLineEdit>(form, "Text2"), control<QLineEdit>(form, "Text3")}) {
            QCOMPARE(box->font().families().first(), QStringLiteral("宋体"));
            QVERIFY(box->font().families().contains(QStringLiteral("Noto Serif CJK SC")));
            QCOMPARE(box->font().pointSizeF(), 10.5);
            QCOMPARE(box->font().weight(), QFont::Normal);
        }
        QCOMPARE(control<QLineEdit>(form, "Text2")->maxLength(), 5);
        QCOMPARE(control<QLineEdit>(form, "Text3")->maxLength(), 4);
        QCOMPARE(control<ClickableLabel>(form, "ztl")->palette().color(QPalette::WindowText),
                 QColor(255, 0, 0));
        QCOMPARE(control<QLineEdit>(form, "Text1")->palette().color(QPalette::Text),
                 QColor(0, 0, 0));
        QCOMPARE(control<LineControl>(form, "Line1")->colour(), QColor(0, 0, 255));
        QVERIFY(control<QLineEdit>(form, "Text1")->isReadOnly());
        QVERIFY(!control<QLineEdit>(form, "savepath1")->isReadOnly());
        QVERIFY(!control<QLineEdit>(form, "Text4")->isVisible());
        QCOMPARE(control<QLineEdit>(form, "Text4")->focusPolicy(), Qt::NoFocus);
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        // The option marks' own captions are cut off: only the mark fits.
        QVERIFY(control<QRadioButton>(form, "Option1")->width() <
                control<QRadioButton>(form, "Option1")->sizeHint().width());
    }

    void geometryInTwips() {
        QCOMPARE(Twips::perPixel(form), 15.0);
        QCOMPARE(form->size(), QSize(479, 254));
        QCOMPARE(twipsOf(control<QGroupBox>(form, "Frame1")), QRect(120, 120, 6975, 1455));
        QCOMPARE(twipsOf(control<QLineEdit>(form, "Text1")), QRect(960, 240, 4695, 375));
        QCOMPARE(twipsOf(control<QPushButton>(form, "Command2")), QRect(5760, 240, 975, 375));
        QCOMPARE(twipsOf(control<QLineEdit>(form, "savepath1")), QRect(960, 840, 3975, 375));
        QCOMPARE(twipsOf(control<QPushButton>(form, "Command1")), QRect(5040, 840, 855, 375));
        QCOMPARE(twipsOf(control<QPushButton>(form, "Command3")), QRect(6000, 840, 855, 375));
        QCOMPARE(twipsOf(control<QGroupBox>(form, "Frame2")), QRect(120, 1560, 6975, 975));
        QCOMPARE(twipsOf(control<QGroupBox>(form, "Frame3")), QRect(120, 120, 5655, 735));
        QCOMPARE(twipsOf(control<QRadioButton>(form, "Option1")), QRect(360, 2040, 255, 255));
        QCOMPARE(twipsOf(control<QLabel>(form, "Label3")), QRect(360, 360, 255, 255));
        QCOMPARE(twipsOf(control<QLineEdit>(form, "Text2")), QRect(720, 360, 735, 375));
        QCOMPARE(twipsOf(control<QLabel>(form, "Label4")), QRect(1440, 360, 1695, 255));
        QCOMPARE(twipsOf(control<QRadioButton>(form, "Option2")), QRect(3240, 2040, 255, 255));
        QCOMPARE(twipsOf(control<QLineEdit>(form, "Text3")), QRect(4320, 360, 615, 375));
        QCOMPARE(twipsOf(control<QPushButton>(form, "Command4")), QRect(5880, 360, 975, 375));
        QCOMPARE(twipsOf(control<QGroupBox>(form, "Frame4")), QRect(120, 2640, 6975, 735));
        QCOMPARE(twipsOf(control<ClickableLabel>(form, "ztl")), QRect(120, 360, 6735, 255));
        QCOMPARE(twipsOf(control<LineControl>(form, "Line1")).topLeft(), QPoint(120, 600));
        QCOMPARE(twipsOf(control<LineControl>(form, "Line1")).width(), 6720);
        QCOMPARE(twipsOf(control<QLineEdit>(form, "Text4")), QRect(7320, 1800, 2175, 375));
        QCOMPARE(twipsOf(control<ClickableLabel>(form, "Label5")), QRect(240, 3480, 6855, 255));
        // Containers: frames hold their controls; the option marks sit on the window, above Frame2.
        QCOMPARE(control<QLineEdit>(form, "Text2")->parentWidget(),
                 control<QGroupBox>(form, "Frame2"));
        QCOMPARE(control<QLabel>(form, "Label3")->parentWidget(),
                 control<QGroupBox>(form, "Frame3"));
        QCOMPARE(control<QRadioButton>(form, "Option1")->parentWidget(), form.data());
        QCOMPARE(form->childAt(control<QRadioButton>(form, "Option1")->geometry().center()),
                 control<QRadioButton>(form, "Option1"));
    }

    void tabOrderPassesOverThePathBoxes() {
        // savepath1 is first, and bounces the focus on to Browse.
        QTRY_COMPARE(QApplication::focusWidget(), control<QPushButton>(form, "Command2"));
        QList<QWidget*> visited;
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget();
        }
        const QList<QWidget*> expected = {
            control<QPushButton>(form, "Command1"), control<QRadioButton>(form, "Option1"),
            control<QLineEdit>(form, "Text2"),      control<QLineEdit>(form, "Text3"),
            control<QPushButton>(form, "Command4"), control<QPushButton>(form, "Command3"),
            control<QPushButton>(form, "Command2"), control<QPushButton>(form, "Command1")};
        QCOMPARE(visited, expected);
        // The size mark, whose caption is cut off, shows that it has the focus.
        auto* sizeMark = control<QRadioButton>(form, "Option1");
        const QImage unfocused = sizeMark->grab().toImage();
        sizeMark->setFocus(Qt::TabFocusReason);
        // A frame around it: most of its pixels change, not the mark's tint alone.
        const QImage focused = sizeMark->grab().toImage();
        int changed = 0;
        for (int y = 0; y < focused.height(); ++y) {
            for (int x = 0; x < focused.width(); ++x)
                changed += focused.pixel(x, y) != unfocused.pixel(x, y) ? 1 : 0;
        }
        QVERIFY(changed > focused.width() * focused.height() / 2);
        control<QPushButton>(form, "Command1")->setFocus(Qt::TabFocusReason);
        // Shift+Tab goes back the same way, over the boxes too.
        QList<QWidget*> back;
        for (int i = 0; i < 7; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            back << QApplication::focusWidget();
        }
        QCOMPARE(back, (QList<QWidget*>{expected[6], expected[5], expected[4], expected[3],
                                        expected[2], expected[1], expected[0]}));
    }

    // ---- Start ------------------------------------------------------------

    void startWithoutSourceShowsItsMessageOnly() {
        const QString status = control<ClickableLabel>(form, "ztl")->text();
        QTest::mouseClick(control<QPushButton>(form, "Command4"), Qt::LeftButton);
        QCOMPARE(messages, QStringList{QStringLiteral("要分割的TXT文件路径不正确！")});
        QCOMPARE(messageParents.first(), form.data());
        QCOMPARE(control<ClickableLabel>(form, "ztl")->text(), status);
        QVERIFY(control<QPushButton>(form, "Command4")->isEnabled());
        QCOMPARE(control<QPushButton>(form, "Command4")->text(), QStringLiteral("开始分割"));
    }

    void startWithoutSaveFolderShowsItsMessage() {
        TempDir in;
        form->chooseSource(QString::fromStdString(in.write("novel.txt", "a\r\n")));
        const QString status = control<ClickableLabel>(form, "ztl")->text();
        QTest::mouseClick(control<QPushButton>(form, "Command4"), Qt::LeftButton);
        QCOMPARE(messages, QStringList{QStringLiteral("要保存分割后的TXT文件的路径不存在！")});
        QCOMPARE(control<ClickableLabel>(form, "ztl")->text(), status);
    }

    void startWithBadNumberIsRefused() {
        TempDir in;
        form->chooseSource(QString::fromStdString(in.write("novel.txt", "a\r\n")));
        control<QLineEdit>(form, "savepath1")->setText(QString::fromStdString(in.path()));
        control<QLineEdit>(form, "Text3")->setText(QString());  // selects split by count
        QTest::mouseClick(control<QPushButton>(form, "Command4"), Qt::LeftButton);
        QCOMPARE(messages, QStringList{QStringLiteral("请输入正确的分割文件个数！")});
        QCOMPARE(in.list(), std::vector<std::string>{"novel.txt"});
    }

    void startSplitsIntoTheSaveFolder() {
        TempDir in;
        TempDir out;
        form->chooseSource(QString::fromStdString(in.write("第一卷.txt", "a\r\nb\r\nc\r\n")));
        control<QLineEdit>(form, "savepath1")->setText(QString::fromStdString(out.path()));
        control<QLineEdit>(form, "Text2")->setText(QStringLiteral("0"));
        QTest::mouseClick(control<QPushButton>(form, "Command4"), Qt::LeftButton);
        waitForSplit();
        QVERIFY(messages.isEmpty());
        QCOMPARE(out.list(),
                 (std::vector<std::string>{"第一卷_1.txt", "第一卷_2.txt", "第一卷_3.txt"}));
        QCOMPARE(tovane::test::readFile(out.file("第一卷_2.txt")), std::string("b\r\n"));
        QCOMPARE(control<ClickableLabel>(form, "ztl")->text(),
                 QStringLiteral("【第一卷.Txt 】已经被分割成了“3”个文件,每个文件“0”KB"));
        QVERIFY(control<QPushButton>(form, "Command4")->isEnabled());
        QCOMPARE(control<QPushButton>(form, "Command4")->text(), QStringLiteral("开始分割"));
        // The settings held still during the run are back as they were.
        for (QWidget* setting : settings()) QVERIFY(setting->isEnabled());
        QVERIFY(c<QRadioButton>("Option1")->isChecked());
    }

    // After a run, a second refused (its folder gone) no longer shows the
    // first one's summary, which says nothing true of it.
    void aRefusedRunAfterAnotherSaysItMadeNothing() {
        TempDir in;
        TempDir out;
        form->chooseSource(QString::fromStdString(in.write("书.txt", "a\r\nb\r\n")));
        control<QLineEdit>(form, "savepath1")->setText(QString::fromStdString(out.path()));
        QTest::mouseClick(control<QPushButton>(form, "Command4"), Qt::LeftButton);
        waitForSplit();
        QVERIFY(c<ClickableLabel>("ztl")->text().contains(QStringLiteral("已经被分割成了")));
        control<QLineEdit>(form, "savepath1")->setText(QString::fromStdString(out.path() + "gone"));
        QTest::mouseClick(control<QPushButton>(form, "Command4"), Qt::LeftButton);
        waitForSplit();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(c<ClickableLabel>("ztl")->text(),
                 QStringLiteral("【书.Txt 】分割失败,没有生成分割文件"));
    }

    // The source under a part's name in the save folder: the run is refused
    // before anything changes, and the status line still names the file.
    void refusalBeforeAnyPartLeavesTheStatusLine() {
        TempDir out;
        form->chooseSource(QString::fromStdString(out.write("书_2.txt", "a\r\nb\r\n")));
        control<QLineEdit>(form, "Text4")->setText(QStringLiteral("书"));
        control<QLineEdit>(form, "savepath1")->setText(QString::fromStdString(out.path()));
        const QString chosen = c<ClickableLabel>("ztl")->text();
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().contains(QStringLiteral("就是要分割的文件本身")));
        QCOMPARE(c<ClickableLabel>("ztl")->text(), chosen);
        QCOMPARE(out.list(), std::vector<std::string>{"书_2.txt"});
    }

    void longRunShowsProgressHoldsTheSettingsAndAsksBeforeClosing() {
        TempDir in;
        TempDir out;
        // 120,000 lines of 1,030 bytes, a part each at 1 KB: a run far longer
        // than what the test does while it lasts, on any machine.
        const std::string line = std::string(1030, 'x') + "\r\n";
        std::string big;
        big.reserve(line.size() * 120000);
        for (int i = 0; i < 120000; ++i) big += line;
        form->chooseSource(QString::fromStdString(in.write("big.txt", big)));
        big = std::string();
        c<QLineEdit>("savepath1")->setText(QString::fromStdString(out.path()));
        c<QLineEdit>("Text2")->setText(QStringLiteral("1"));
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        // Confirmed first: the size over 1 KB.
        QCOMPARE(questions,
                 QStringList{QStringLiteral("这样会生成大约 120938 个文件，确定要继续吗？")});
        QVERIFY(form->isSplitting());
        QCOMPARE(c<QPushButton>("Command4")->text(), QStringLiteral("请稍等"));
        for (QWidget* setting : settings()) QVERIFY(!setting->isEnabled());
        // The status line follows the run, and the marquee keeps moving.
        const QRegularExpression progress(
            QStringLiteral("^正在分割中【big\\.Txt 】,请稍候! \\d+%（第 \\d+ 个文件）$"));
        ClickableLabel* status = c<ClickableLabel>("ztl");
        QTRY_VERIFY(progress.match(status->text()).hasMatch());
        const QString first = status->text();
        QTRY_VERIFY(status->text() != first && progress.match(status->text()).hasMatch());
        const double left = form->label5Left();
        QTRY_VERIFY(form->label5Left() != left);
        // Start during the run asks whether to stop; No goes on, and no second run begins.
        answer = false;
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        QCOMPARE(questions.last(), QStringLiteral("要停止分割吗？已经完成的文件会保留。"));
        QVERIFY(form->isSplitting());
        QVERIFY(messages.isEmpty());

        // Closing asks; No keeps the run going, Yes stops it.
        answer = false;
        form->close();
        QCOMPARE(
            questions.last(),
            QStringLiteral("正在分割，关闭窗口会停止分割（已完成的文件会保留）。确定要关闭吗？"));
        QVERIFY(form->isVisible());
        QVERIFY(form->isSplitting());
        answer = true;
        QPointer<Form1> closing = form;
        form->close();
        QTRY_VERIFY(closing.isNull());
        // No window is left, so the program ends (it quits on its last window).
        QVERIFY(QApplication::quitOnLastWindowClosed());
        for (QWidget* window : QApplication::topLevelWidgets()) QVERIFY(!window->isVisible());
        // Every part left is whole: one line of 1,030 bytes and its CR LF.
        const auto parts = out.list();
        QVERIFY(!parts.empty() && parts.size() < 120000u);
        for (const std::string& name : parts) {
            QCOMPARE(tovane::test::readFile(out.file(name)).size(), std::size_t{1032});
        }
    }

    void manyPartsAreConfirmedAndNoChangesNothing() {
        TempDir in;
        TempDir out;
        std::string lines;
        for (int i = 0; i < 20000; ++i) lines += "a\r\n";
        form->chooseSource(QString::fromStdString(in.write("lines.txt", lines)));
        c<QLineEdit>("savepath1")->setText(QString::fromStdString(out.path()));
        c<QLineEdit>("Text2")->setText(QStringLiteral("0"));
        const QString status = c<ClickableLabel>("ztl")->text();
        answer = false;
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        QCOMPARE(questions,
                 QStringList{QStringLiteral("这样会生成大约 20000 个文件，确定要继续吗？")});
        QVERIFY(!form->isSplitting());
        QCOMPARE(c<ClickableLabel>("ztl")->text(), status);
        QVERIFY(c<QPushButton>("Command4")->isEnabled());
        for (QWidget* setting : settings()) QVERIFY(setting->isEnabled());
        QVERIFY(out.list().empty());
    }

    void longNameLosesItsMiddleNotTheFigures() {
        TempDir in;
        TempDir out;
        const std::string name = "《青云山下修仙记》作者：佚名（全本精校版）最新章节无弹窗全文阅读";
        form->chooseSource(QString::fromStdString(in.write(name + ".txt", "a\r\nb\r\n")));
        c<QLineEdit>("savepath1")->setText(QString::fromStdString(out.path()));
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        ClickableLabel* status = c<ClickableLabel>("ztl");
        const QString whole = QStringLiteral("【") + QString::fromStdString(name) +
                              QStringLiteral(".Txt 】已经被分割成了“1”个文件,每个文件“100”KB");
        QCOMPARE(status->toolTip(), whole);
        QVERIFY(status->text().startsWith(QStringLiteral("【《青云")));
        QVERIFY(status->text().contains(QChar(0x2026)));  // …
        QVERIFY(status->text().endsWith(
            QStringLiteral(".Txt 】已经被分割成了“1”个文件,每个文件“100”KB")));
        QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());
        // Chosen, with the preview after it: the name keeps its start, and
        // the preview gives way.
        form->chooseSource(QString::fromStdString(in.path() + "/" + name + ".txt"));
        QVERIFY(status->text().startsWith(QStringLiteral("您选择分割的文件名为“《青云山下")));
        QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());
        // A short one is shown whole, without a tooltip.
        form->chooseSource(QStringLiteral("/books/a.txt"));
        QCOMPARE(status->text(), QStringLiteral("您选择分割的文件名为“a.txt”"));
        QVERIFY(status->toolTip().isEmpty());
    }

    void dropsGoToTheWindowNotTheBoxes() {
        TempDir in;
        const QString file = QString::fromStdString(in.write("掉落.txt", "a\r\n"));
        for (const char* box : {"Text1", "savepath1", "Text2", "Text3"}) {
            QVERIFY(!c<QLineEdit>(box)->acceptDrops());
        }
        QVERIFY(form->acceptDrops());
        // A folder, or two files at once, are refused.
        drop({QUrl::fromLocalFile(QString::fromStdString(in.path()))});
        drop({QUrl::fromLocalFile(file), QUrl::fromLocalFile(file)});
        QCOMPARE(c<QLineEdit>("Text1")->text(), QStringLiteral("请点击“浏览”选择要分割的TxT文件"));
        drop({QUrl::fromLocalFile(file)});
        QCOMPARE(c<QLineEdit>("Text1")->text(), QDir::toNativeSeparators(file));
        QCOMPARE(c<QLineEdit>("Text4")->text(), QStringLiteral("掉落"));
        QCOMPARE(c<ClickableLabel>("ztl")->text(),
                 QStringLiteral("您选择分割的文件名为“掉落.txt”"));
        QCOMPARE(c<QLineEdit>("Text2")->text(), QStringLiteral("100"));
    }

    void enterClicksTheFocusedButtonAndStartsFromANumberBox() {
        c<QPushButton>("Command1")->setFocus();
        QTest::keyClick(c<QPushButton>("Command1"), Qt::Key_Return);
        QVERIFY(Form2::instance() != nullptr);
        delete Form2::instance();
        c<QLineEdit>("Text3")->setFocus();
        QTest::keyClick(c<QLineEdit>("Text3"), Qt::Key_Enter);
        QCOMPARE(messages, QStringList{QStringLiteral("要分割的TXT文件路径不正确！")});
        QCOMPARE(beeps, 0);
    }

    // ---- Settings, Browse, Open -------------------------------------------

    void settingsShowsOnePicker() {
        QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
        QPointer<Form2> first = Form2::instance();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QVERIFY(first->parentWidget() == nullptr);
        QTest::mouseClick(control<QPushButton>(form, "Command1"), Qt::LeftButton);
        QCOMPARE(Form2::instance(), first.data());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget* w) { return qobject_cast<Form2*>(w) != nullptr; }),
                 1);
    }

    void browseFillsPathTitleAndBaseName() {
        chooserAnswers << QStringLiteral("/books/my.novel.txt");
        QTest::mouseClick(control<QPushButton>(form, "Command2"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(form, "Text1")->text(), QStringLiteral("/books/my.novel.txt"));
        QCOMPARE(control<ClickableLabel>(form, "ztl")->text(),
                 QStringLiteral("您选择分割的文件名为“my.novel.txt”"));
        QCOMPARE(control<QLineEdit>(form, "Text4")->text(), QStringLiteral("my.novel"));
        chooserAnswers << QStringLiteral("/books/README");
        QTest::mouseClick(control<QPushButton>(form, "Command2"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(form, "Text4")->text(), QStringLiteral("README"));
        QCOMPARE(chooserFolders.last(),
                 QStringLiteral("/books"));  // opens where the last choice was
        chooserAnswers << QStringLiteral("/books/.txt");
        QTest::mouseClick(control<QPushButton>(form, "Command2"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(form, "Text4")->text(), QString());
        // A cancel after a choice sets the fields again from that choice.
        control<QLineEdit>(form, "Text1")->setText(QStringLiteral("changed"));
        QTest::mouseClick(control<QPushButton>(form, "Command2"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(form, "Text1")->text(), QStringLiteral("/books/.txt"));
        QCOMPARE(control<ClickableLabel>(form, "ztl")->text(),
                 QStringLiteral("您选择分割的文件名为“.txt”"));
    }

    void browseCancelledBeforeAnyChoiceEmptiesTheFields() {
        QTest::mouseClick(control<QPushButton>(form, "Command2"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(form, "Text1")->text(), QString());
        QCOMPARE(control<QLineEdit>(form, "Text4")->text(), QString());
        QCOMPARE(control<ClickableLabel>(form, "ztl")->text(),
                 QStringLiteral("您选择分割的文件名为“”"));
    }

    void openWithMissingFolderShowsMessageAndStartsNothing() {
        QTest::mouseClick(control<QPushButton>(form, "Command3"), Qt::LeftButton);
        QCOMPARE(messages, QStringList{QStringLiteral("保存路径不存在！")});
        QVERIFY(opened.isEmpty());
    }

    void openHandsTheFolderOverUnchanged() {
        TempDir base;
        const QString folder = QString::fromStdString(base.makeDir("my out 输出"));
        control<QLineEdit>(form, "savepath1")->setText(folder);
        QTest::mouseClick(control<QPushButton>(form, "Command3"), Qt::LeftButton);
        QVERIFY(messages.isEmpty());
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().toLocalFile(), folder);
    }

    void linksOpenTheShippedPages() {
        QTest::mouseClick(control<ClickableLabel>(form, "Label5"), Qt::LeftButton, {},
                          QPoint(5, 5));
        const QString status = QStringLiteral("【x.Txt 】已经被分割成了“5”个文件,每个文件“100”KB");
        control<ClickableLabel>(form, "ztl")->setText(status);
        QTest::mouseClick(control<ClickableLabel>(form, "ztl"), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(opened.size(), 2);
        QVERIFY(opened[0].toLocalFile().endsWith(QStringLiteral("/garbled.html")));
        QVERIFY(QFileInfo::exists(opened[0].toLocalFile()));
        QVERIFY(opened[1].toLocalFile().endsWith(QStringLiteral("/index.html")));
        QCOMPARE(control<ClickableLabel>(form, "ztl")->text(), status);
        // With no browser to take it, the link says so and where the page is.
        QVERIFY(messages.isEmpty());
        opensPages = false;
        QTest::mouseClick(control<ClickableLabel>(form, "Label5"), Qt::LeftButton, {},
                          QPoint(5, 5));
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].startsWith(QStringLiteral("没有找到可以打开网页的程序。")));
        QVERIFY(messages[0].endsWith(QDir::toNativeSeparators(opened.last().toLocalFile())));
    }

    // ---- focus bounce, digits, mode ---------------------------------------

    void pathBoxesNeverKeepTheFocus() {
        const QString text = control<QLineEdit>(form, "Text1")->text();
        QTest::mouseClick(control<QLineEdit>(form, "Text1"), Qt::LeftButton);
        QVERIFY(!control<QLineEdit>(form, "Text1")->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("zz"));
        QCOMPARE(control<QLineEdit>(form, "Text1")->text(), text);
        QVERIFY(control<QLineEdit>(form, "Text1")->isEnabled());
        control<QLineEdit>(form, "savepath1")->setFocus();
        QVERIFY(!control<QLineEdit>(form, "savepath1")->hasFocus());
        QVERIFY(control<QLineEdit>(form, "savepath1")->isEnabled());
    }

    void pathBoxesShowNoSelectionOrCaret() {
        QLineEdit* source = c<QLineEdit>("Text1");
        QLineEdit* folder = c<QLineEdit>("savepath1");
        // Tab passes over both boxes; a click and a double click land on them.
        for (int i = 0; i < 9; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::mouseDClick(folder, Qt::LeftButton, {}, QPoint(30, 5));
        QTest::mouseClick(folder, Qt::LeftButton, {}, QPoint(60, 5));
        QTest::mouseDClick(source, Qt::LeftButton, {}, QPoint(30, 5));
        for (QLineEdit* box : {source, folder}) {
            QVERIFY(!box->hasSelectedText());
            QVERIFY(!box->hasFocus());
            QCOMPARE(box->cursorPosition(), box->text().size());  // never moved by a click
        }
    }

    void digitFilterLetsOnlyDigitsAndBackspaceThrough() {
        control<QLineEdit>(form, "Text2")->clear();
        control<QLineEdit>(form, "Text2")->setFocus();
        QTest::keyClicks(control<QLineEdit>(form, "Text2"), QStringLiteral("12a"));
        QCOMPARE(control<QLineEdit>(form, "Text2")->text(), QStringLiteral("12"));
        QCOMPARE(beeps, 1);
        QTest::keyClick(control<QLineEdit>(form, "Text2"), Qt::Key_Space);
        QTest::keyClick(control<QLineEdit>(form, "Text2"), Qt::Key_Minus);
        QCOMPARE(beeps, 3);
        QTest::keyClick(control<QLineEdit>(form, "Text2"), Qt::Key_Backspace);
        QCOMPARE(control<QLineEdit>(form, "Text2")->text(), QStringLiteral("1"));
        QTest::keyClick(control<QLineEdit>(form, "Text2"), Qt::Key_Left);
        QTest::keyClick(control<QLineEdit>(form, "Text2"), Qt::Key_Delete);
        QTest::keyClick(control<QLineEdit>(form, "Text2"), Qt::Key_End);
        QCOMPARE(beeps, 3);
        QCOMPARE(control<QLineEdit>(form, "Text2")->text(), QString());
        QTest::keyClicks(control<QLineEdit>(form, "Text2"), QStringLiteral("1234567"));
        QCOMPARE(control<QLineEdit>(form, "Text2")->text(), QStringLiteral("12345"));  // at most 5
    }

    void digitFilterRefusesPasteKeysAndInputMethodText() {
        QApplication::clipboard()->setText(QStringLiteral("abc"));
        control<QLineEdit>(form, "Text3")->setFocus();
        QTest::keyClick(control<QLineEdit>(form, "Text3"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(control<QLineEdit>(form, "Text3")->text(), QStringLiteral("10"));
        QCOMPARE(beeps, 1);
        QInputMethodEvent fullWidth;
        fullWidth.setCommitString(QStringLiteral("５"));
        QApplication::sendEvent(control<QLineEdit>(form, "Text3"), &fullWidth);
        QCOMPARE(control<QLineEdit>(form, "Text3")->text(), QStringLiteral("10"));
        QCOMPARE(beeps, 2);
        // Neither refusal changed the text, so the mode is still by size.
        QVERIFY(control<QRadioButton>(form, "Option1")->isChecked());
    }

    void typingOrClickingSelectsTheMode() {
        control<QLineEdit>(form, "Text3")->setFocus();
        QTest::keyClick(control<QLineEdit>(form, "Text3"), Qt::Key_5);
        QVERIFY(control<QRadioButton>(form, "Option2")->isChecked());
        QTest::mouseClick(control<QLineEdit>(form, "Text2"), Qt::LeftButton);
        QVERIFY(control<QRadioButton>(form, "Option1")->isChecked());
        QVERIFY(!control<QRadioButton>(form, "Option2")->isChecked());
        QTest::mouseClick(control<QLineEdit>(form, "Text3"), Qt::LeftButton);
        QVERIFY(control<QRadioButton>(form, "Option2")->isChecked());
    }

    // ---- timers -----------------------------------------------------------

    void marqueeStepsAndWrapsAround() {
        control<QTimer>(form, "Timer2")->stop();
        form->setLabel5Left(4995);
        form->Timer2_Timer();
        QCOMPARE(form->label5Left(), 5005.0);
        form->Timer2_Timer();
        QCOMPARE(form->label5Left(), 240.0);
        form->setLabel5Left(5000);
        form->Timer2_Timer();
        QCOMPARE(form->label5Left(), 240.0);
        form->Timer2_Timer();
        QCOMPARE(form->label5Left(), 250.0);
        QCOMPARE(control<ClickableLabel>(form, "Label5")->x(), Twips::toPixels(250, form));
    }

    void sizeLockPutsTheWindowBack() {
        form->setFixedSize(600, 400);
        QTRY_COMPARE(form->size(), QSize(479, 254));
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
