#include "folder_picker/form2.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "folder_picker/drive_list_box.h"
#include "folder_picker/folder_list_box.h"
#include "platform/control_table.h"
#include "platform/engine_text.h"
#include "platform/twips.h"
#include "platform/window_setup.h"
#include "platform/window_texts.h"
#include "split/parts/part_names.h"

namespace {

QPointer<Form2> picker;

}  // namespace

Form2::Form2(QWidget* parent) : QWidget(parent, WindowSetup::kWindowFlags) {
    WindowSetup::setUp(this, QStringLiteral("Form2"), WindowTexts::kForm2Title);
    Twips::lockWindowSize(this, kClientWidth, kClientHeight);
    buildControls();
    Text1->setReadOnly(true);
    WindowSetup::clickOnEnter(Command1);
    connect(Drive1, &DriveListBox::driveChanged, this, &Form2::Drive1_Change);
    connect(Dir1, &FolderListBox::pathChanged, this, &Form2::Dir1_Change);
    // A folder highlighted by a click is the one OK takes, as the box shows.
    connect(Dir1, &FolderListBox::highlightChanged, this, &Form2::showFolder);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    // Escape closes the picker as its close button does, handing nothing over.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    Form_Load();
    startTimer();
    Dir1->setFocus();
}

// The layout: every control with its place and size in twips, caption and tab index.
void Form2::buildControls() {
    using ControlTable::make;
    ControlTable::build<Form2>(
        *this, {
                   {"Drive1", make<&Form2::Drive1>, nullptr, 120, 120, 4575, 300, {}, 0},
                   {"Dir1", make<&Form2::Dir1>, nullptr, 120, 600, 4575, 2190, {}, 1},
                   {"Label1", make<&Form2::Label1>, nullptr, 120, 3120, 495, 255,
                    WindowTexts::kPickerLabel1, 2},
                   {"Text1", make<&Form2::Text1>, nullptr, 600, 3000, 3255, 375,
                    WindowTexts::kPickerText1, 3},
                   {"Command1", make<&Form2::Command1>, nullptr, 3960, 3000, 735, 375,
                    WindowTexts::kPickerCommand1, 4},
               });
}

void Form2::startTimer() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    Timer1->start();
}

Form2* Form2::instance() {
    return picker.data();
}

Form2* Form2::showInstance(bool* created, const QString& folder, const QWidget* over) {
    if (created != nullptr) *created = picker.isNull();
    if (picker.isNull()) picker = new Form2;
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
        if (!picker->Drive1->setDrive(DriveListBox::driveOf(folder)) ||
            QDir(picker->Dir1->path()) != QDir(folder)) {
            picker->Dir1->setPath(folder);
        }
    }
    if (over != nullptr) {
        const QSize size = picker->frameGeometry().size();
        picker->move(over->frameGeometry().center() - QPoint(size.width() / 2, size.height() / 2));
    }
    picker->show();
    picker->raise();
    picker->activateWindow();
    picker->Dir1->setFocus();
    return picker.data();
}

void Form2::Form_Load() {
    // Where a Windows picker opens on drive D:, this one opens on the drive
    // that holds the home folder, at the home folder itself.
#ifdef Q_OS_WIN
    Drive1->setDrive(QStringLiteral("d:"));
#else
    const QString home = QDir::homePath();
    // A home on a file system the list doesn't offer still opens at home.
    if (!Drive1->setDrive(DriveListBox::driveOf(home))) Dir1->setPath(home);
#endif
}

void Form2::Drive1_Change() {
    // A drive that isn't ready leaves the folder list where it was.
    Dir1->setPath(DriveListBox::startFolderOf(Drive1->drive()));
}

void Form2::Dir1_Change() {
    showFolder(Dir1->path());
}

// The split uses the folder as the literal start of every part's name.
void Form2::showFolder(const QString& folder) {
    Text1->setText(EngineText::toQt(tovane::withTrailingSeparator(EngineText::fromQt(folder))));
}

void Form2::Command1_Click() {
    emit folderChosen(Text1->text());
    close();
}

void Form2::Timer1_Timer() {
    Twips::lockWindowSize(this, kClientWidth, kClientHeight);
}
