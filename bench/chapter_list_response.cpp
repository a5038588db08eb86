// How fast the main window and its open chapter list answer on a book of
// 10,000 chapters: a tick in the list, a change of way and a new number,
// each timed from the event to the list and status line painted again.
// Runs offscreen; prints the median and the slowest of each.
//   chapter_list_response [CHAPTERS] [ROUNDS]     (defaults: 10000 and 15)
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "main_window/book_chapters.h"
#include "main_window/form1.h"

namespace {

// Every pending event handled and every window painted: what a reader waits
// for before the window shows the change.
double settle(QElapsedTimer& clock) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) window->repaint();
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-28s median %7.2f ms   slowest %7.2f ms\n", what, times[times.size() / 2],
                times.back());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int chapters = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 15;

    QTemporaryDir folder;
    const QString book = folder.filePath(QStringLiteral("万章.txt"));
    {
        std::ofstream out(book.toStdString(), std::ios::binary);
        for (int n = 1; n <= chapters; ++n) {
            out << "第" << n << "章 山雨欲来\r\n";
            for (int line = 0; line < 20; ++line) out << "　　风从山口吹过来，带着雨的气味。\r\n";
        }
    }

    Form1 form;
    form.show();
    auto* found = form.findChild<BookChapters*>();
    QSignalSpy scanned(found, &BookChapters::found);
    form.chooseSource(book);
    if (!scanned.wait(120000)) return 1;
    form.chooseWay(4);  // by chapters (the entries count from 1)
    form.showChapters();
    QTest::qWait(200);
    auto* list = app.findChild<QTableView*>(QStringLiteral("Chapters"));
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (list == nullptr) list = window->findChild<QTableView*>(QStringLiteral("Chapters"));
    }
    if (list == nullptr) return 1;
    auto* count = form.findChild<QLineEdit*>(QStringLiteral("Text3"));
    std::printf("%d chapters, %d rows in the list\n", chapters, list->model()->rowCount());

    std::vector<double> ticks, ways, numbers;
    for (int round = 0; round < rounds; ++round) {
        const int row = (round * 613) % list->model()->rowCount();
        list->selectRow(row);
        list->setFocus();
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(list, Qt::Key_Space);
        ticks.push_back(settle(clock));

        clock.restart();
        form.chooseWay(round % 2 == 0 ? 1 : 4);  // by size, and back to by chapters
        ways.push_back(settle(clock));

        clock.restart();
        count->setText(QString::number(5 + round));
        numbers.push_back(settle(clock));
    }
    report("tick a chapter", ticks);
    report("change the way", ways);
    report("type a new number", numbers);
    return 0;
}
