// The services both windows share, on their own: the twips helper, the
// replaceable desktop services and the file-open dialog.
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include "platform/app_resources.h"
#include "platform/runtime_services.h"
#include "platform/twips.h"
#include "support/temp_dir.h"

class PlatformTest : public QObject {
    Q_OBJECT

private slots:
    void twipsFollowTheLogicalDpi() {
        QCOMPARE(Twips::perPixel(), 15.0);
        QCOMPARE(Twips::toPixels(7185), 479);
        QCOMPARE(Twips::rect(120, 120, 6975, 1455), QRect(8, 8, 465, 97));
        QCOMPARE(Twips::fromPixels(2), 30.0);
    }

    void servicesCanBeReplacedAndRestored() {
        QString seen;
        RuntimeServices::setMessageHandler([&seen](QWidget*, const QString& text) { seen = text; });
        RuntimeServices::showMessage(nullptr, QStringLiteral("提示文字"));
        QCOMPARE(seen, QStringLiteral("提示文字"));
        int opened = 0;
        RuntimeServices::setOpenHandler([&opened](const QUrl&) { return ++opened > 1; });
        RuntimeServices::open(nullptr, QUrl(QStringLiteral("file:///tmp")),
                              QStringLiteral("没打开"));
        QCOMPARE(seen, QStringLiteral("没打开"));
        RuntimeServices::open(nullptr, QUrl(QStringLiteral("file:///tmp")),
                              QStringLiteral("又没打开"));
        QCOMPARE(seen, QStringLiteral("没打开"));
        QCOMPARE(opened, 2);
        RuntimeServices::restoreDefaults();
    }

#ifndef Q_OS_WIN
    // The desktop's opener starts, then fails: its exit says so, and the
    // message comes then, without the window waiting for it.
    void anOpenerThatFailsAfterStartingIsReported() {
        tovane::test::TempDir bin;
        const std::string opener = bin.write("xdg-open", "#!/bin/sh\nsleep 0.2\nexit 3\n");
        QFile::setPermissions(QString::fromStdString(opener),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(bin.path()) + ":" + path);
        QStringList seen;
        RuntimeServices::setMessageHandler(
            [&seen](QWidget*, const QString& text) { seen << text; });
        RuntimeServices::open(nullptr, QUrl::fromLocalFile(QStringLiteral("/tmp")),
                              QStringLiteral("无法打开"));
        QVERIFY(seen.isEmpty());  // not waited for
        QTRY_COMPARE(seen, QStringList{QStringLiteral("无法打开")});
        qputenv("PATH", path);
        RuntimeServices::restoreDefaults();
    }
#endif

    void fileDialogSpeaksChineseInEveryColumn() {
        // As the program starts: Qt's Chinese texts, under an English locale.
        QVERIFY(AppResources::installChineseTranslations(*qApp));
        tovane::test::TempDir folder;
        folder.write("novel.txt", "123456789");
        folder.makeDir("books");
        QFileDialog* dialog = RuntimeServices::makeOpenDialog(
            nullptr, QString::fromStdString(folder.path()), QStringLiteral("TXT文件(*.txt)"));
        dialog->show();
        auto* list = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(list != nullptr);
        QAbstractItemModel* model = list->model();
        const auto rowOf = [&](const QString& name) {
            for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
                if (model->index(row, 0, list->rootIndex()).data() == name) return row;
            }
            return -1;
        };
        QTRY_VERIFY(rowOf(QStringLiteral("novel.txt")) >= 0 && rowOf(QStringLiteral("books")) >= 0);
        const auto cell = [&](const QString& name, int column) {
            return model->index(rowOf(name), column, list->rootIndex()).data().toString();
        };
        QCOMPARE(cell(QStringLiteral("novel.txt"), 1), QStringLiteral("9 字节"));
        QCOMPARE(cell(QStringLiteral("books"), 2), QStringLiteral("文件夹"));
        QVERIFY(!cell(QStringLiteral("novel.txt"), 2).contains(QStringLiteral("text")));
        QVERIFY(!cell(QStringLiteral("novel.txt"), 3).contains(QStringLiteral("M")));  // no AM/PM
        QHeaderView* header = list->header();
        for (int column = 0; column < header->count(); ++column) {
            const QString title = model->headerData(column, Qt::Horizontal).toString();
            QVERIFY2(title.front().unicode() > 0x2E80, qPrintable(title));  // Chinese, not "Name"
            if (column > 0) {
                QVERIFY(header->sectionSize(column) >=
                        header->fontMetrics().horizontalAdvance(title));
            }
        }
        delete dialog;
    }
};

QTEST_MAIN(PlatformTest)
#include "platform_test.moc"
