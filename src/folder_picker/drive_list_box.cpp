#include "folder_picker/drive_list_box.h"

#include <QDir>
#include <QFileIconProvider>
#include <QSet>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {

const QSet<QString> kPseudoFileSystems = {
    "proc",        "sysfs",      "cgroup",          "cgroup2",    "devpts",      "devtmpfs",
    "mqueue",      "debugfs",    "tracefs",         "securityfs", "pstore",      "bpf",
    "configfs",    "fusectl",    "hugetlbfs",       "autofs",     "binfmt_misc", "efivarfs",
    "nsfs",        "rpc_pipefs", "ramfs",           "selinuxfs",  "squashfs",    "fuse.gvfsd-fuse",
    "fuse.portal", "nfsd",       "overlay_internal"};

// Places the system keeps for itself even when a real file system is mounted there.
const QStringList kSystemMountPrefixes = {"/proc", "/sys", "/dev", "/boot", "/snap", "/run"};

QString driveName(const QStorageInfo& volume) {
#ifdef Q_OS_WIN
    return volume.rootPath().left(2).toLower();  // "c:"
#else
    return volume.rootPath();
#endif
}

QString normalized(QString path) {
    path = QDir::fromNativeSeparators(path);
    while (path.size() > 1 && path.endsWith('/')) path.chop(1);
    return path;
}

}  // namespace

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    refresh();
    // Starts on the drive of the current folder.
    const int current = findData(driveOf(QDir::currentPath()));
    {
        const QSignalBlocker quiet(this);
        setCurrentIndex(current >= 0 ? current : 0);
    }
    connect(this, &QComboBox::activated, this, &DriveListBox::emitChange);
}

bool DriveListBox::isUserFileSystem(const QString& rootPath, const QString& fileSystemType) {
    if (rootPath == QLatin1String("/")) return true;
    if (kPseudoFileSystems.contains(fileSystemType)) return false;
    // Removable media are mounted under /run/media on some systems.
    if (rootPath.startsWith(QLatin1String("/run/media/"))) return true;
    for (const QString& prefix : kSystemMountPrefixes) {
        if (rootPath == prefix || rootPath.startsWith(prefix + '/')) return false;
    }
    return true;
}

void DriveListBox::refresh() {
    const QString selected = drive();
    const QSignalBlocker quiet(this);
    clear();
    QFileIconProvider icons;
    QSet<QString> seen;
    const auto volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : volumes) {
        if (!volume.isValid()) continue;
        const QString root = normalized(volume.rootPath());
        if (!isUserFileSystem(root, QString::fromUtf8(volume.fileSystemType()))) continue;
        const QString name = driveName(volume);
        if (seen.contains(name)) continue;  // the same file system mounted twice
        seen.insert(name);
        QString label = QDir::toNativeSeparators(name);
        if (!volume.name().isEmpty()) label += QStringLiteral(" [") + volume.name() + ']';
        addItem(icons.icon(QFileIconProvider::Drive), label, name);
    }
    if (findData(QStringLiteral("/")) < 0 && QDir::rootPath() == QLatin1String("/")) {
        insertItem(0, icons.icon(QFileIconProvider::Drive), QStringLiteral("/"),
                   QStringLiteral("/"));
    }
    const int index = findData(selected);
    if (index >= 0) setCurrentIndex(index);
}

QString DriveListBox::drive() const {
    return currentData().toString();
}

bool DriveListBox::setDrive(const QString& requested) {
    int index = findData(normalized(requested));
#ifdef Q_OS_WIN
    if (index < 0 && requested.size() >= 2 && requested[1] == ':') {
        index = findData(requested.left(2).toLower());
    }
#endif
    if (index < 0) return false;
    {
        const QSignalBlocker quiet(this);
        setCurrentIndex(index);
    }
    emitChange(index);
    return true;
}

void DriveListBox::emitChange(int index) {
    emit driveChanged(itemData(index).toString());
}

QString DriveListBox::driveOf(const QString& path) {
    const QStorageInfo volume(path);
    if (volume.isValid() && !volume.rootPath().isEmpty()) return driveName(volume);
#ifdef Q_OS_WIN
    return path.left(2).toLower();
#else
    // In a container or chroot the mount table may not show the file system
    // that holds the path; the root holds everything.
    return QStringLiteral("/");
#endif
}

QString DriveListBox::startFolderOf(const QString& drive) {
    const QString home = QDir::homePath();
#ifdef Q_OS_WIN
    if (driveOf(home) == drive) return QDir::toNativeSeparators(home);
    return drive.toUpper() + '\\';  // a path names its drive "D:", the list "d:"
#else
    if (driveOf(home) == drive) return home;
    return drive;
#endif
}
