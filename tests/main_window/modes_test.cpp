// The ways to split through the menu of the split settings, the chapters the
// window finds in a chosen book, and stopping a run: the real window,
// offscreen, driven through its menu and keys.
#include <QApplication>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "main_window/book_chapters.h"
#include "main_window/clickable_label.h"
#include "main_window/form1.h"
#include "platform/runtime_services.h"
#include "platform/window_texts.h"
#include "split/split_run.h"
#include "split/split_texts.h"
#include "support/controls.h"
#include "support/encode.h"
#include "support/temp_dir.h"

using tovane::test::control;
using tovane::test::TempDir;

namespace {

// A GBK novel of `chapters` chapters of `lines` lines each, after a preface.
std::string novel(int chapters, int lines = 30) {
    std::string text = "青云记\r\n作者：某人\r\n";
    for (int n = 1; n <= chapters; ++n) {
        text += "第" + std::to_string(n) + "章 风起\r\n";
        for (int i = 0; i < lines; ++i)
            text += "　　山路弯弯，雨一直下，他走了很久才看见灯火。\r\n";
    }
    return tovane::test::encode(text, tovane::Encoding::Gbk);
}

}  // namespace

class ModesTest : public QObject {
    Q_OBJECT

private:
    QPointer<Form1> form;
    QStringList messages;
    QStringList questions;
    bool answer = true;
    bool opens = true;
    TempDir in;
    TempDir out;

    template <typename T>
    T* c(const char* name) const {
        return control<T>(form, name);
    }
    // A right click on `widget`, then `key` in the menu it opens.
    void pickFromMenu(QWidget* widget, Qt::Key key) {
        QTimer::singleShot(0, [key] {
            QWidget* menu = QApplication::activePopupWidget();
            QVERIFY(menu != nullptr);
            QTest::keyClick(menu, key);
        });
        const QPoint at = widget->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &event);
    }
    // The entries of the menu a right click on `widget` opens.
    QStringList menuEntries(QWidget* widget) {
        QStringList entries;
        QTimer::singleShot(0, [&entries] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            for (QAction* action : menu->actions()) entries << action->text();
            menu->close();
        });
        const QPoint at = widget->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &event);
        return entries;
    }
    void choose(const std::string& name, const std::string& bytes) {
        form->chooseSource(QString::fromStdString(in.write(name, bytes)));
    }
    void waitForSplit() {
        QSignalSpy done(form.data(), &Form1::splitFinished);
        if (form->isSplitting()) QVERIFY(done.wait(30000));
    }
    // The status line's whole text: what is shown, or, where it had to be
    // shortened to fit, its tooltip.
    QString status() const {
        auto* ztl = c<ClickableLabel>("ztl");
        return ztl->toolTip().isEmpty() ? ztl->text() : ztl->toolTip();
    }
    // The chapter list, opened through the menu of ways.
    QTableView* openChapterList() {
        pickFromMenu(c<QLineEdit>("Text3"), Qt::Key_6);
        auto* list = form->findChild<QWidget*>(QStringLiteral("ChapterList"));
        if (list == nullptr) qFatal("no chapter list");
        return control<QTableView>(list, "Chapters");
    }
    static QString cell(QTableView* rows, int row, int column) {
        return rows->model()->index(row, column).data().toString();
    }
    static QVariant tick(QTableView* rows, int row) {
        return rows->model()->index(row, 0).data(Qt::CheckStateRole);
    }
    // Rows chosen by a click (and Ctrl+clicks), then ticked on or off by Space.
    static void toggle(QTableView* rows, std::initializer_list<int> chosen) {
        bool first = true;
        for (int row : chosen) {
            const QRect at = rows->visualRect(rows->model()->index(row, 4));
            QTest::mouseClick(rows->viewport(), Qt::LeftButton,
                              first ? Qt::NoModifier : Qt::ControlModifier, at.center());
            first = false;
        }
        QTest::keyClick(rows, Qt::Key_Space);
    }

private slots:
    void init() {
        messages.clear();
        questions.clear();
        answer = true;
        opens = true;
        RuntimeServices::setQuestionHandler([this](QWidget*, const QString& text) {
            questions << text;
            return answer;
        });
        RuntimeServices::setMessageHandler(
            [this](QWidget*, const QString& text) { messages << text; });
        RuntimeServices::setOpenHandler([this](const QUrl&) { return opens; });
        RuntimeServices::setBeepHandler([] {});
        form = Form1::ensureInstance();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        c<QLineEdit>("savepath1")->setText(QString::fromStdString(out.path()));
    }
    void cleanup() {
        delete form.data();
        RuntimeServices::restoreDefaults();
        for (const std::string& name : out.list()) std::remove(out.file(name).c_str());
    }

    // Each way, chosen by its digit in the menu, splits as the engine does
    // with the same settings, and the words beside the boxes name it.
    void eachWayThroughTheMenuSplitsAsTheEngineDoes() {
        const std::string book = novel(12);
        choose("书.txt", book);
        QTRY_VERIFY(status().contains(QStringLiteral("找到 12 章")));
        struct Way {
            Qt::Key key;
            const char* label4;
            const char* label7;
            const char* label6;
            tovane::SplitMode mode;
            const char* summary;
        };
        const Way ways[] = {
            {Qt::Key_4, "KB分割成一个文件", "每个文件含", "章", tovane::SplitMode::ByChapters,
             "每个文件“5”章"},
            {Qt::Key_2, "KB，在章节处分开", "平均分割成", "个文件",
             tovane::SplitMode::BySizeAtChapters, "每个文件“3”KB"},
            {Qt::Key_3, "KB以内为一个文件", "平均分割成", "个文件", tovane::SplitMode::ByMaxSize,
             "每个文件不超过“3”KB"},
            {Qt::Key_1, "KB分割成一个文件", "平均分割成", "个文件", tovane::SplitMode::BySize,
             "每个文件“3”KB"},
        };
        for (const Way& way : ways) {
            pickFromMenu(c<QGroupBox>("Frame2"), way.key);
            QCOMPARE(c<QLabel>("Label4")->text(), QString::fromUtf8(way.label4));
            QCOMPARE(c<QLabel>("Label7")->text(), QString::fromUtf8(way.label7));
            QCOMPARE(c<QLabel>("Label6")->text(), QString::fromUtf8(way.label6));
            // The box the way reads is open, the other greyed.
            const bool chapters = way.mode == tovane::SplitMode::ByChapters;
            QCOMPARE(c<QLineEdit>("Text2")->isEnabled(), !chapters);
            QCOMPARE(c<QLineEdit>("Text3")->isEnabled(),
                     chapters || way.mode == tovane::SplitMode::BySize);
            c<QLineEdit>(chapters ? "Text3" : "Text2")->setText(chapters ? "5" : "3");
            QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
            waitForSplit();
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
            QVERIFY2(status().endsWith(QString::fromUtf8(way.summary)), qPrintable(status()));
            // The engine, asked directly, makes the same parts.
            TempDir engine;
            tovane::SplitRequest request;
            request.sourcePath = in.file("书.txt");
            request.saveFolder = engine.path();
            request.baseName = "书";
            request.mode = way.mode;
            request.numberText = chapters ? "5" : "3";
            const tovane::SplitCheck check = tovane::checkSplitRequest(request);
            QVERIFY(check.plan);
            QCOMPARE(tovane::executeSplit(*check.plan).result, tovane::SplitOutcome::Result::Done);
            QCOMPARE(out.list(), engine.list());
            for (const std::string& name : engine.list()) {
                QCOMPARE(tovane::test::readFile(out.file(name)),
                         tovane::test::readFile(engine.file(name)));
            }
            for (const std::string& name : out.list()) std::remove(out.file(name).c_str());
        }
    }

    // 按卷分割 reads the count box as volumes a part, and a book without a
    // volume's heading is refused the way.
    void theVolumesWaySplitsAtVolumes() {
        choose("书.txt", novel(3));
        QTRY_VERIFY(status().contains(QStringLiteral("找到 3 章")));
        pickFromMenu(c<QGroupBox>("Frame2"), Qt::Key_5);
        QCOMPARE(messages, QStringList{WindowTexts::kNoVolumes});
        QCOMPARE(form->mode(), tovane::SplitMode::BySize);

        std::string text = "青云记\r\n";
        for (int v = 1; v <= 3; ++v) {
            text += "第" + std::to_string(v) + "卷 山河\r\n";
            for (int n = 1; n <= 3; ++n) {
                text += "第" + std::to_string(n) + "章 风起\r\n";
                for (int i = 0; i < 20; ++i) text += "　　山路弯弯，雨一直下。\r\n";
            }
        }
        choose("卷.txt", tovane::test::encode(text, tovane::Encoding::Gbk));
        QTRY_VERIFY(status().contains(QStringLiteral("找到 9 章")));
        pickFromMenu(c<QGroupBox>("Frame2"), Qt::Key_5);
        QCOMPARE(c<QLabel>("Label7")->text(), QStringLiteral("每个文件含"));
        QCOMPARE(c<QLabel>("Label6")->text(), QStringLiteral("卷"));
        c<QLineEdit>("Text3")->setText(QStringLiteral("1"));
        QVERIFY2(status().endsWith(QStringLiteral("将分成 3 个文件）")), qPrintable(status()));
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        QVERIFY2(status().endsWith(QStringLiteral("每个文件“1”卷")), qPrintable(status()));
        QCOMPARE(out.list().size(), std::size_t{3});
        QVERIFY(tovane::test::readFile(out.file("卷_2.txt"))
                    .starts_with(tovane::test::encode("第2卷 山河", tovane::Encoding::Gbk)));
    }

    // A book in Big5 is read as Big5 and says so; the menu's choice of
    // encoding reads it again as asked, and the split reads it so too.
    void theEncodingIsShownAndCanBeChosen() {
        std::string text = "風雲錄\r\n";
        for (int n = 1; n <= 6; ++n) {
            text += "第" + std::to_string(n) + "章 風起雲湧\r\n";
            for (int i = 0; i < 10; ++i)
                text +=
                    "　　他說這個時候，我們還沒有來到這裡，大家都在看著她，不知道過了多久。\r\n";
        }
        choose("繁.txt", tovane::test::encode(text, tovane::Encoding::Big5));
        QTRY_VERIFY2(
            status().endsWith(QStringLiteral("（Big5 繁体；找到 6 章，右键可按章节分割）")),
            qPrintable(status()));
        form->findChild<QAction*>(QStringLiteral("ToUtf8"))->setChecked(true);
        const auto splitOnce = [this] {
            QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
            waitForSplit();
            return tovane::test::readFile(out.file("繁_1.txt"));
        };
        // Asked to, it reads the book as GBK: its characters come out otherwise.
        form->findChild<QAction*>(QStringLiteral("Encoding1"))->trigger();
        QTRY_VERIFY2(!status().contains(QStringLiteral("Big5")), qPrintable(status()));
        const std::string asGbk = splitOnce();
        form->findChild<QAction*>(QStringLiteral("Encoding0"))->trigger();
        QTRY_VERIFY2(status().contains(QStringLiteral("（Big5 繁体，输出为 UTF-8；找到 ")),
                     qPrintable(status()));
        const std::string asBig5 = splitOnce();
        // The summary of the run names the encoding it read.
        QVERIFY2(status().endsWith(QStringLiteral("个文件,每个文件“100”KB（Big5 繁体）")),
                 qPrintable(status()));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
        QCOMPARE(asBig5.substr(3, text.find("\r\n", 100)), text.substr(0, text.find("\r\n", 100)));
        QVERIFY(asGbk != asBig5);
        form->findChild<QAction*>(QStringLiteral("ToUtf8"))->setChecked(false);
    }

    // Every way's words fit the labels they stand in.
    void theWordsOfEveryWayFitTheirLabels() {
        choose("书.txt", novel(3));
        for (Qt::Key key : {Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_1}) {
            pickFromMenu(c<QGroupBox>("Frame3"), key);
            for (const char* name : {"Label3", "Label4", "Label7", "Label6"}) {
                QLabel* label = c<QLabel>(name);
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                         qPrintable(label->text()));
            }
        }
    }

    // The number boxes keep their own entries for editing, below the ways.
    void theMenuOfANumberBoxKeepsItsEditingEntries() {
        const QStringList entries = menuEntries(c<QLineEdit>("Text2"));
        QVERIFY(entries.size() > 7);
        QCOMPARE(entries.mid(0, 5),
                 (QStringList{QStringLiteral("按大小分割(&1)"),
                              QStringLiteral("按大小分割，只在章节处分开(&2)"),
                              QStringLiteral("按大小分割，每个文件不超过 100 KB(&3)"),
                              QStringLiteral("按章节分割(&4)"), QStringLiteral("按卷分割(&5)")}));
        QCOMPARE(entries.mid(6, 3), (QStringList{QStringLiteral("文件编号补零(&P)"),
                                                 QStringLiteral("文件名带章节标题(&T)"),
                                                 QStringLiteral("输出为 UTF-8(&U)")}));
        QCOMPARE(entries.at(9), QStringLiteral("读取编码(&E)"));
        QCOMPARE(entries.at(11), QStringLiteral("查看找到的章节…(&6)"));
        // Only the ways and ticks have letters: U is 输出为 UTF-8's alone; and
        // no keys are shown, as the box takes digits alone from the keys.
        for (const QString& entry : entries.mid(12)) {
            QVERIFY2(!entry.contains('&'), qPrintable(entry));
            QVERIFY2(!entry.contains('\t'), qPrintable(entry));
        }
        QCOMPARE(menuEntries(c<QLabel>("Label7")).size(), 12);  // the words: no editing entries
    }

    // With UTF-8 output, the size a part may hold is counted in the bytes it
    // holds: what the summary says is what the parts are.
    void bySizeInUtf8ThePartsAreTheSizeTheSummarySays() {
        const std::string book = novel(24);
        choose("书.txt", book);
        pickFromMenu(c<QLineEdit>("Text2"), Qt::Key_U);
        c<QLineEdit>("Text2")->setText("10");
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
        const std::vector<std::string> parts = out.list();
        std::uint64_t written = 0;
        for (std::size_t k = 0; k < parts.size(); ++k) {
            const std::uint64_t size = tovane::test::readFile(out.file(parts[k])).size();
            written += size;
            QVERIFY2(size <= 10 * 1024 + 100, parts[k].c_str());  // the limit and the line past it
            if (k + 1 < parts.size()) QVERIFY2(size >= 9 * 1024, parts[k].c_str());
        }
        QVERIFY(written > book.size() * 13 / 10);  // GBK's two bytes are UTF-8's three
        QVERIFY(status().contains(
            QStringLiteral("已经被分割成了“%1”个文件,每个文件“10”KB").arg(parts.size())));
    }

    // The ticks below the ways name and write the parts: titled names only
    // where the way cuts at chapters, UTF-8 with its mark; a book with a
    // byte that doesn't convert is refused in a message box, naming its line.
    void theTicksNameAndConvertTheParts() {
        choose("书.txt", novel(12));
        QTRY_VERIFY(status().contains(QStringLiteral("找到 12 章")));
        bool titlesOpen = true;
        QTimer::singleShot(0, [&titlesOpen] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            for (QAction* action : menu->actions()) {
                if (action->objectName() == QStringLiteral("TitleNames")) {
                    titlesOpen = action->isEnabled();
                }
            }
        });
        menuEntries(c<QLineEdit>("Text2"));
        QVERIFY(!titlesOpen);
        for (Qt::Key key : {Qt::Key_U, Qt::Key_4, Qt::Key_T})
            pickFromMenu(c<QLabel>("Label7"), key);
        c<QLineEdit>("Text3")->setText("5");
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
        QCOMPARE(out.list(), (std::vector<std::string>{"书_1.txt", "书_2 第6章 风起.txt",
                                                       "书_3 第11章 风起.txt"}));
        QVERIFY(tovane::test::readFile(out.file("书_2 第6章 风起.txt"))
                    .starts_with(std::string("\xEF\xBB\xBF") + "第6章"));

        std::string broken = novel(2);
        broken.insert(broken.size() - 4, "\xFF");
        choose("坏.txt", broken);
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        QCOMPARE(messages, QStringList{QString::fromStdString(
                               tovane::texts::unconvertible(64, broken.size() - 5))});
    }

    // A book without headings: a chapter way is refused at once.
    void aBookWithoutHeadingsStaysInTheWayItWasIn() {
        choose("散文.txt", "春天的雨\r\n下了一整夜。\r\n");
        pickFromMenu(c<QLineEdit>("Text3"), Qt::Key_4);
        QCOMPARE(messages,
                 QStringList{QStringLiteral("没有找到章节标题（例如“第一章”），不能按章节分割。")});
        QCOMPARE(form->mode(), tovane::SplitMode::BySize);
        QCOMPARE(c<QLabel>("Label6")->text(), QStringLiteral("个文件"));
        QVERIFY(!status().contains(QStringLiteral("找到")));
    }

    // The count of chapters follows the file chosen last; a scan no longer
    // wanted never shows.
    void theChapterCountFollowsTheChosenFile() {
        const std::string big = novel(400, 200);
        choose("大.txt", big);
        choose("小.txt", novel(7));
        QTRY_VERIFY(status().contains(QStringLiteral("找到 7 章，右键可按章节分割")));
        QTest::qWait(300);
        QVERIFY(status().startsWith(QStringLiteral("您选择分割的文件名为“小.txt”")));
        pickFromMenu(c<QLineEdit>("Text3"), Qt::Key_4);
        c<QLineEdit>("Text3")->setText(QStringLiteral("3"));
        QVERIFY(status().endsWith(QStringLiteral("（找到 7 章，将分成 3 个文件）")));
    }

    void theChapterListShowsEveryHeading() {
        choose("书.txt", novel(4));
        QTableView* rows = openChapterList();
        QCOMPARE(rows->model()->rowCount(), 4);
        QCOMPARE(cell(rows, 1, 0), QStringLiteral("34"));
        QCOMPARE(cell(rows, 1, 4), QStringLiteral("第2章 风起"));
        QCOMPARE(control<QLabel>(rows->window(), "ChapterTotal")->text(), QStringLiteral("共 4 章"));
        // Outside the ways that cut at chapters there are no parts to show.
        QVERIFY(rows->isColumnHidden(1));
    }

    // While a book's chapters are looked for, the status line says how far
    // the look has come, and then what it found.
    void theStatusLineFollowsALongLookForChapters() {
        std::string book;
        for (int chapter = 1; book.size() < (std::size_t{8} << 20); ++chapter) {
            book += "第" + std::to_string(chapter) + "章 夜雨\r\n";
            for (int line = 0; line < 40; ++line)
                book += "　　他推开窗，雨还在下，街上没有一个人。\r\n";
        }
        auto* chapters = form->findChild<BookChapters*>();
        chapters->watchScanEvery(1);
        QStringList seen;
        connect(chapters, &BookChapters::scanProgressed, form.data(),
                [&seen, this] { seen << status(); });
        choose("长书.txt", book);
        QTRY_VERIFY_WITH_TIMEOUT(status().contains(QStringLiteral("找到 ")), 60000);
        chapters->watchScanEvery(BookChapters::kScanWatchMs);
        QVERIFY(!seen.isEmpty());
        QVERIFY2(seen.last().contains(QStringLiteral("（正在查找章节…… ")),
                 qPrintable(seen.last()));
        QVERIFY(seen.last().endsWith(QStringLiteral("%）")));
    }

    // Lines that read as headings but were passed over are listed in grey
    // with their reason; a tick brings one in as a chapter, and the parts,
    // the status line and the split follow; several rows tick together.
    void aLinePassedOverIsBroughtInByItsTick() {
        std::string book = "青云记\r\n目录\r\n第1章 风起\r\n第2章 夜雨\r\n第3章 归来\r\n";
        const char* const names[] = {"风起", "夜雨", "归来"};
        for (int n = 1; n <= 3; ++n) {
            book += "第" + std::to_string(n) + "章 " + names[n - 1] + "\r\n";
            for (int i = 0; i < 30; ++i) book += "　　山路弯弯，雨一直下，他走了很久才看见灯火。\r\n";
        }
        choose("书.txt", tovane::test::encode(book, tovane::Encoding::Gbk));
        pickFromMenu(c<QLineEdit>("Text3"), Qt::Key_4);
        c<QLineEdit>("Text3")->setText(QStringLiteral("1"));
        QTRY_VERIFY(status().endsWith(QStringLiteral("（找到 3 章，将分成 3 个文件）")));
        QTableView* rows = openChapterList();
        QCOMPARE(cell(rows, 2, 4), QStringLiteral("第1章 风起"));
        QCOMPARE(cell(rows, 2, 2), QStringLiteral("目录"));
        QCOMPARE(tick(rows, 2), QVariant(Qt::Unchecked));
        QCOMPARE(rows->model()->index(2, 4).data(Qt::ForegroundRole).value<QColor>(),
                 QColor(128, 128, 128));
        QCOMPARE(cell(rows, 5, 4), QStringLiteral("第1章 风起"));
        QCOMPARE(cell(rows, 5, 1), QStringLiteral("1"));
        // The contents' second entry brought in: a part of its own, before the book's.
        toggle(rows, {3});
        QCOMPARE(tick(rows, 3), QVariant(Qt::Checked));
        QTRY_VERIFY2(status().endsWith(QStringLiteral("（加入 1 章；找到 3 章，将分成 4 个文件）")),
                     qPrintable(status()));
        QCOMPARE(cell(rows, 3, 1), QStringLiteral("1"));
        QCOMPARE(cell(rows, 5, 1), QStringLiteral("2"));
        QCOMPARE(control<QLabel>(rows->window(), "ChapterTotal")->text(),
                 QStringLiteral("共 4 章（找到 3 章）"));
        // Two of the book's chapters taken out at once.
        toggle(rows, {6, 7});
        QCOMPARE(tick(rows, 6), QVariant(Qt::Unchecked));
        QCOMPARE(tick(rows, 7), QVariant(Qt::Unchecked));
        QTRY_VERIFY2(status().endsWith(
                         QStringLiteral("（去掉 2 章，加入 1 章；找到 3 章，将分成 2 个文件）")),
                     qPrintable(status()));
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        QCOMPARE(out.list().size(), std::size_t{2});
        QCOMPARE(tovane::test::readFile(out.file("书_2.txt")).substr(0, 6),
                 tovane::test::encode("第1章 ", tovane::Encoding::Gbk));
    }

    // A form of heading typed in the list finds what the rule doesn't; the
    // reader's corrections stay with the book while it is unchanged.
    void theReadersOwnFormAndTicksStayWithTheBook() {
        std::string book = "青云记\r\n";
        for (const char* title : {"雨夜篇：初见", "雨夜篇：重逢", "雨夜篇：离别"}) {
            book += std::string(title) + "\r\n";
            for (int i = 0; i < 30; ++i) book += "　　山路弯弯，雨一直下，他走了很久才看见灯火。\r\n";
        }
        const std::string path = in.write("书.txt", tovane::test::encode(book, tovane::Encoding::Gbk));
        form->chooseSource(QString::fromStdString(path));
        QTableView* rows = openChapterList();
        auto* formBox = control<QLineEdit>(rows->window(), "HeadingForm");
        QInputMethodEvent typed;  // as a Chinese input method commits it
        typed.setCommitString(QStringLiteral("雨夜篇*"));
        formBox->setFocus();
        QApplication::sendEvent(formBox, &typed);
        QTRY_COMPARE(rows->model()->rowCount(), 3);
        QCOMPARE(cell(rows, 1, 4), QStringLiteral("雨夜篇：重逢"));
        QTRY_VERIFY2(status().contains(QStringLiteral("找到 3 章")), qPrintable(status()));
        QVERIFY(status().contains(QStringLiteral("标题格式“雨夜篇*”")));
        toggle(rows, {1});
        QTRY_VERIFY(status().contains(QStringLiteral("去掉 1 章")));
        choose("散文.txt", novel(4));
        QTRY_VERIFY(status().contains(QStringLiteral("找到 4 章")));
        form->chooseSource(QString::fromStdString(path));
        QTRY_VERIFY2(status().contains(QStringLiteral("去掉 1 章")), qPrintable(status()));
        QCOMPARE(formBox->text(), QStringLiteral("雨夜篇*"));
        QCOMPARE(tick(rows, 1), QVariant(Qt::Unchecked));
        // Changed since: its chapters are found afresh, by the same form.
        in.write("书.txt", tovane::test::encode(book + "雨夜篇：尾声\r\n", tovane::Encoding::Gbk));
        choose("散文.txt", novel(4));
        form->chooseSource(QString::fromStdString(path));
        QTRY_VERIFY2(status().contains(QStringLiteral("找到 4 章")), qPrintable(status()));
    }

    // Stopped by Start or by Escape: only whole parts stay, nothing hidden,
    // and the status line says how many were finished.
    void aRunStopsByStartOrByEscape() {
        const std::string line = std::string(1030, 'x') + "\r\n";
        std::string big;
        for (int i = 0; i < 60000; ++i) big += line;
        choose("big.txt", big);
        big.clear();
        c<QLineEdit>("Text2")->setText(QStringLiteral("1"));
        for (const bool byEscape : {false, true}) {
            questions.clear();
            QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
            QVERIFY(form->isSplitting());
            QTRY_VERIFY(status().contains(QStringLiteral("%")));
            if (byEscape) {
                QTest::keyClick(form, Qt::Key_Escape);
            } else {
                QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
            }
            QCOMPARE(questions.last(), QStringLiteral("要停止分割吗？已经完成的文件会保留。"));
            waitForSplit();
            const std::vector<std::string> parts = out.list();
            QVERIFY(!parts.empty() && parts.size() < 60000u);
            QVERIFY(
                status().endsWith(QStringLiteral("分割已取消,已完成“%1”个文件").arg(parts.size())));
            for (const std::string& name : parts) {
                QVERIFY2(name[0] != '.', name.c_str());
                QCOMPARE(tovane::test::readFile(out.file(name)).size(), std::size_t{1032});
            }
            for (const std::string& name : out.list()) std::remove(out.file(name).c_str());
        }
    }

    // Chapters a part share the count box with the number of parts: back in
    // the first way the box and its mark are what they were.
    void goingBackToTheFirstWayRestoresItsBoxAndMark() {
        choose("书.txt", novel(6));
        QTRY_VERIFY(status().contains(QStringLiteral("找到 6 章")));
        pickFromMenu(c<QLineEdit>("Text3"), Qt::Key_4);
        QTest::keyClicks(c<QLineEdit>("Text3"), QStringLiteral("3"));  // "103"
        c<QLineEdit>("Text3")->setText(QStringLiteral("3"));
        pickFromMenu(c<QLineEdit>("Text3"), Qt::Key_1);
        QCOMPARE(c<QLineEdit>("Text3")->text(), QStringLiteral("10"));
        QVERIFY(c<QRadioButton>("Option1")->isChecked());
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        QVERIFY2(status().endsWith(QStringLiteral("每个文件“100”KB")), qPrintable(status()));
        pickFromMenu(c<QLineEdit>("Text3"), Qt::Key_4);
        QCOMPARE(c<QLineEdit>("Text3")->text(), QStringLiteral("3"));
    }

    // In a way that cuts at chapters, a book without any takes the window
    // back to the first way as soon as it is looked over, saying so.
    void aNewBookWithoutHeadingsTakesTheWindowBackToTheFirstWay() {
        choose("书.txt", novel(6));
        pickFromMenu(c<QLineEdit>("Text3"), Qt::Key_4);
        c<QLineEdit>("Text3")->setText(QStringLiteral("0"));
        QVERIFY2(status().endsWith(QStringLiteral("（找到 6 章，请输入每个文件的章数）")),
                 qPrintable(status()));
        choose("散文.txt", "春天的雨\r\n下了一整夜。\r\n");
        QTRY_VERIFY(status().endsWith(QStringLiteral("（没有找到章节标题，已改为按大小分割）")));
        QCOMPARE(form->mode(), tovane::SplitMode::BySize);
        QVERIFY(messages.isEmpty());
    }

    // From 每 N KB，在章节处分开, a book without headings is split by size
    // with that N, as the status line says, not by count.
    void aBookWithoutHeadingsFallsBackToTheSizeTheReaderHad() {
        choose("书.txt", novel(6));
        pickFromMenu(c<QLineEdit>("Text2"), Qt::Key_2);
        c<QLineEdit>("Text2")->setText(QStringLiteral("3"));
        std::string prose;
        for (int i = 0; i < 200; ++i) prose += "　　春天的雨下了一整夜，院子里的花都开了。\r\n";
        choose("散文.txt", tovane::test::encode(prose, tovane::Encoding::Gbk));
        QTRY_VERIFY(status().endsWith(QStringLiteral("（没有找到章节标题，已改为按大小分割）")));
        QVERIFY(c<QRadioButton>("Option1")->isChecked());
        QCOMPARE(c<QLineEdit>("Text2")->text(), QStringLiteral("3"));
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        QVERIFY2(status().endsWith(QStringLiteral("每个文件“3”KB")), qPrintable(status()));
        QCOMPARE(out.list().size(), std::size_t{3});  // 8,800 bytes in parts of 3 KB
    }

    // 平均分割成 N 个文件 makes N files at most: the last takes the scrap a
    // line's end would have made a file N+1 of.
    void splittingByCountMakesNoMoreFilesThanAskedFor() {
        std::string text;
        for (int i = 0; i < 90; ++i) text += std::string(100, 'a') + "\r\n";
        choose("书.txt", text + "   \r\n");
        QTest::mouseClick(c<QRadioButton>("Option2"), Qt::LeftButton);
        c<QLineEdit>("Text3")->setText(QStringLiteral("2"));
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        QCOMPARE(out.list().size(), std::size_t{2});
        QVERIFY2(status().contains(QStringLiteral("“2”个文件")), qPrintable(status()));
    }

    // Whatever changes the parts shows before Start, and the status line
    // follows every change after a run as before it.
    void thePreviewShowsEveryChoiceAndFollowsAfterARun() {
        choose("书.txt", novel(6));
        pickFromMenu(c<QLineEdit>("Text3"), Qt::Key_4);
        c<QLineEdit>("Text3")->setText(QStringLiteral("2"));
        QTRY_VERIFY(status().endsWith(QStringLiteral("（找到 6 章，将分成 3 个文件）")));
        form->findChild<QAction*>(QStringLiteral("TitleNames"))->setChecked(true);
        form->findChild<QAction*>(QStringLiteral("ToUtf8"))->setChecked(true);
        QVERIFY2(status().endsWith(
                     QStringLiteral("（文件名带标题，输出为 UTF-8；找到 6 章，将分成 3 个文件）")),
                 qPrintable(status()));
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        QVERIFY2(status().contains(QStringLiteral("已经被分割成了")), qPrintable(status()));
        c<QLineEdit>("Text3")->setText(QStringLiteral("3"));
        QVERIFY2(status().endsWith(
                     QStringLiteral("（文件名带标题，输出为 UTF-8；找到 6 章，将分成 2 个文件）")),
                 qPrintable(status()));
        form->findChild<QAction*>(QStringLiteral("TitleNames"))->setChecked(false);
        form->findChild<QAction*>(QStringLiteral("PadNumbers"))->setChecked(true);
        QVERIFY2(status().contains(QStringLiteral("（编号补零，输出为 UTF-8；")),
                 qPrintable(status()));
    }

    // The list of chapters: the part each opens, its level and size, ticks;
    // it follows the chosen book and closes with 关闭 or Escape.
    void theChapterListFollowsTheBookAndCutsOnlyAtTickedChapters() {
        std::string book = "青云记\r\n第一卷 江湖\r\n第一章 风起\r\n";
        for (int n = 2; n <= 6; ++n)
            book += "　　山路弯弯。\r\n第" + std::to_string(n) + "章 雨\r\n";
        choose("书.txt", tovane::test::encode(book + "　　完。\r\n", tovane::Encoding::Gbk));
        pickFromMenu(c<QLineEdit>("Text3"), Qt::Key_4);
        c<QLineEdit>("Text3")->setText(QStringLiteral("2"));
        QTableView* rows = openChapterList();
        QWidget* list = rows->window();
        QCOMPARE(rows->model()->rowCount(), 7);
        QCOMPARE(cell(rows, 0, 2), QStringLiteral("卷"));
        QCOMPARE(cell(rows, 1, 2), QStringLiteral("章"));
        QCOMPARE(cell(rows, 2, 1), QStringLiteral("1"));  // the volume's block, then this
        QCOMPARE(cell(rows, 3, 1), QStringLiteral("2"));
        QVERIFY(!cell(rows, 0, 3).isEmpty());
        QCOMPARE(tick(rows, 1), QVariant());  // one tick a block
        QVERIFY(status().endsWith(QStringLiteral("（找到 6 章，将分成 3 个文件）")));
        toggle(rows, {3});  // 第三章 is no chapter
        QVERIFY2(status().endsWith(QStringLiteral("（去掉 1 章；找到 6 章，将分成 3 个文件）")),
                 qPrintable(status()));
        QCOMPARE(cell(rows, 4, 1), QStringLiteral("2"));
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        waitForSplit();
        // 第三章 stays in the part of 第二章; part 2 begins with 第四章.
        QVERIFY(tovane::test::readFile(out.file("书_1.txt"))
                    .find(tovane::test::encode("第3章", tovane::Encoding::Gbk)) !=
                std::string::npos);
        QCOMPARE(tovane::test::readFile(out.file("书_2.txt")).substr(0, 5),
                 tovane::test::encode("第4章", tovane::Encoding::Gbk));
        QCOMPARE(out.list().size(), std::size_t{3});
        // Another book: the list follows it, saying so when it has no chapters.
        choose("散文.txt", "春天的雨\r\n");
        QTRY_COMPARE(control<QLabel>(list, "ChapterTotal")->text(),
                     QStringLiteral("没有找到章节标题（例如“第一章”）。"));
        QCOMPARE(rows->model()->rowCount(), 0);
        QTest::keyClick(list, Qt::Key_Escape);
        QTRY_VERIFY(form->findChild<QWidget*>(QStringLiteral("ChapterList")) == nullptr);
        pickFromMenu(c<QLineEdit>("Text2"), Qt::Key_6);
        list = form->findChild<QWidget*>(QStringLiteral("ChapterList"));
        QTest::mouseClick(control<QPushButton>(list, "CloseChapters"), Qt::LeftButton);
        QTRY_VERIFY(form->findChild<QWidget*>(QStringLiteral("ChapterList")) == nullptr);
    }

    void shiftF10OpensTheMenuOfWays() {
        c<QLineEdit>("Text3")->setFocus();
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            QCOMPARE(menu->objectName(), QStringLiteral("ModeMenu"));
            menu->close();
        });
        QTest::keyClick(form, Qt::Key_F10, Qt::ShiftModifier);
    }

    // The question whether to stop goes when the run ends before an answer.
    void theStopQuestionClosesWhenTheRunEnds() {
        std::string lines;
        for (int i = 0; i < 400000; ++i) lines += "abcdefghij\r\n";
        choose("lines.txt", lines);
        c<QLineEdit>("Text2")->setText(QStringLiteral("4"));
        RuntimeServices::setQuestionHandler(nullptr);  // the real box
        bool shown = false;
        QTimer::singleShot(0, [&shown] { shown = QApplication::activeModalWidget() != nullptr; });
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);  // returns once it closed
        QVERIFY(shown);
        waitForSplit();
        QVERIFY2(status().contains(QStringLiteral("已经被分割成了")), qPrintable(status()));
    }

    // A stopped run names the parts an earlier run left past its last one.
    void aStoppedRunReportsOldParts() {
        const std::string line = std::string(1030, 'x') + "\r\n";
        std::string big;
        for (int i = 0; i < 60000; ++i) big += line;
        choose("big.txt", big);
        out.write("big_99999.txt", "old\r\n");
        c<QLineEdit>("Text2")->setText(QStringLiteral("1"));
        QTest::mouseClick(c<QPushButton>("Command4"), Qt::LeftButton);
        QTRY_VERIFY(status().contains(QStringLiteral("%")));
        QTest::keyClick(form, Qt::Key_Escape);
        waitForSplit();
        QVERIFY(status().contains(QStringLiteral("分割已取消")));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(QStringLiteral("以前留下的 big_99999.txt")),
                 qPrintable(messages.first()));
    }

    void openSaysSoWhenNoFileManagerStarts() {
        opens = false;
        QTest::mouseClick(c<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(messages,
                 QStringList{QStringLiteral("无法启动文件管理器打开保存的文件夹，请自己打开它。")});
    }
};

QTEST_MAIN(ModesTest)
#include "modes_test.moc"
