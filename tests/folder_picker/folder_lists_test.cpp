// The picker's drive and folder lists on their own: the folder list on a temp
// folder tree, the drive list's choice of file systems.
#include <unistd.h>

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include "folder_picker/drive_list_box.h"
#include "folder_picker/folder_list_box.h"
#include "support/temp_dir.h"

using tovane::test::TempDir;

class FolderListsTest : public QObject {
    Q_OBJECT

private:
    static QStringList entries(const FolderListBox& list) {
        QStringList names;
        for (int row = 0; row < list.count(); ++row) names << list.item(row)->text();
        return names;
    }
    static int rowOf(const FolderListBox& list, const QString& name) {
        for (int row = 0; row < list.count(); ++row) {
            if (list.item(row)->text() == name) return row;
        }
        return -1;
    }
    static void open(FolderListBox& list, const QString& name) {
        const int row = rowOf(list, name);
        QVERIFY2(row >= 0, qPrintable(name));
        list.setCurrentRow(row);
        QTest::keyClick(&list, Qt::Key_Return);
    }

private slots:
    void folderListShowsAncestorsThenSortedChildren() {
        TempDir tree;
        for (const char* name : {"b folder", "a", ".hidden", "北京", "安徽", "10", "9", "A2"}) {
            tree.makeDir(std::string("root/") + name);
        }
        tree.write("root/file.txt", "not a folder");
        FolderListBox list;
        const QString root = QString::fromStdString(tree.file("root"));
        QVERIFY(list.setPath(root));
        QCOMPARE(list.path(), root);
        QStringList names = entries(list);
        // "/", then every folder down to root, then the children.
        QCOMPARE(names.first(), QStringLiteral("/"));
        const int rootRow = rowOf(list, QStringLiteral("root"));
        QCOMPARE(list.currentRow(), rootRow);
        const QStringList children = names.mid(rootRow + 1);
        // Numbers by value, Chinese by pinyin (安 an before 北 bei, though 北 comes
        // first by code point), Latin letters without regard to case.
        QCOMPARE(children, (QStringList{"9", "10", "安徽", "北京", "a", "A2", "b folder"}));
        open(list, QStringLiteral("b folder"));
        QCOMPARE(list.path(), root + "/b folder");
    }

    void openingAChildAndAnAncestor() {
        TempDir tree;
        tree.makeDir("top/书 籍/old");
        FolderListBox list;
        QSignalSpy changes(&list, &FolderListBox::pathChanged);
        const QString top = QString::fromStdString(tree.file("top"));
        QVERIFY(list.setPath(top));
        open(list, QStringLiteral("书 籍"));
        QCOMPARE(list.path(), top + "/书 籍");
        open(list, QStringLiteral("old"));
        QCOMPARE(list.path(), top + "/书 籍/old");
        open(list, QStringLiteral("top"));
        QCOMPARE(list.path(), top);
        open(list, QStringLiteral("/"));
        QCOMPARE(list.path(), QStringLiteral("/"));  // a separator at the root only
        QCOMPARE(changes.count(), 5);
    }

    void vanishedOrUnreadableFoldersLeaveTheListAlone() {
        TempDir tree;
        tree.makeDir("top/gone");
        tree.makeDir("top/locked");
        FolderListBox list;
        const QString top = QString::fromStdString(tree.file("top"));
        const QString current = QDir::currentPath();
        QVERIFY(list.setPath(top));
        const QStringList before = entries(list);
        QDir(top).rmdir(QStringLiteral("gone"));
        QSignalSpy changes(&list, &FolderListBox::pathChanged);
        open(list, QStringLiteral("gone"));
        QCOMPARE(list.path(), top);
        QCOMPARE(entries(list), before);

        // Unreadable: root reads everything, so look at it as another user.
        QFile::setPermissions(top + "/locked", QFileDevice::Permissions());
        const uid_t previous = ::geteuid();
        if (previous == 0) QVERIFY(::seteuid(65534) == 0);
        open(list, QStringLiteral("locked"));
        if (previous == 0) QVERIFY(::seteuid(previous) == 0);
        QCOMPARE(list.path(), top);
        QVERIFY(!list.setPath(top + "/no such folder"));
        QVERIFY(!list.setPath(QString::fromStdString(tree.write("plain.txt", "x"))));
        QCOMPARE(list.path(), top);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(QDir::currentPath(), current);  // never moved by the list
    }

    void listsNeverMoveTheCurrentFolder() {
        TempDir tree;
        tree.makeDir("x/y");
        const QString before = QDir::currentPath();
        FolderListBox list;
        QVERIFY(list.setPath(QString::fromStdString(tree.file("x/y"))));
        DriveListBox drives;
        drives.setDrive(QStringLiteral("/"));
        QCOMPARE(QDir::currentPath(), before);
    }

    void driveListOffersRealFileSystemsOnly() {
        QVERIFY(DriveListBox::isUserFileSystem("/", "ext4"));
        QVERIFY(DriveListBox::isUserFileSystem("/media/user/U盘", "vfat"));
        QVERIFY(DriveListBox::isUserFileSystem("/run/media/user/DISK", "exfat"));
        QVERIFY(DriveListBox::isUserFileSystem("/home", "btrfs"));
        QVERIFY(!DriveListBox::isUserFileSystem("/proc", "proc"));
        QVERIFY(!DriveListBox::isUserFileSystem("/sys/fs/cgroup", "cgroup2"));
        QVERIFY(!DriveListBox::isUserFileSystem("/dev/shm", "tmpfs"));
        QVERIFY(!DriveListBox::isUserFileSystem("/run/user/1000", "tmpfs"));
        QVERIFY(!DriveListBox::isUserFileSystem("/snap/core/1", "squashfs"));

        DriveListBox drives;
        QVERIFY(drives.count() >= 1);
        QVERIFY(drives.findData(QStringLiteral("/")) >= 0);
        for (int i = 0; i < drives.count(); ++i) {
            const QString root = drives.itemData(i).toString();
            QVERIFY2(!root.startsWith("/proc") && !root.startsWith("/sys"), qPrintable(root));
        }
        QSignalSpy changes(&drives, &DriveListBox::driveChanged);
        QVERIFY(drives.setDrive(QStringLiteral("/")));
        QVERIFY(drives.setDrive(QStringLiteral("/")));  // selecting it again still counts
        QCOMPARE(changes.count(), 2);
        QCOMPARE(drives.drive(), QStringLiteral("/"));
        QVERIFY(!drives.setDrive(QStringLiteral("/no/such/mount")));
        QCOMPARE(drives.drive(), QStringLiteral("/"));
        QCOMPARE(DriveListBox::startFolderOf(DriveListBox::driveOf(QDir::homePath())),
                 QDir::homePath());
    }
};

QTEST_MAIN(FolderListsTest)
#include "folder_lists_test.moc"
