#include "folder_picker/form2.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "folder_picker/drive_list_box.h"
#include "folder_picker/folder_list_box.h"
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

    Drive1 = new DriveListBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1 = new FolderListBox(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Label1 = new QLabel(WindowTexts::kPickerLabel1, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Text1 = new QLineEdit(WindowTexts::kPickerText1, this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Command1 = new QPushButton(WindowTexts::kPickerCommand1, this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    WindowSetup::clickOnEnter(Command1);

    const auto place = &Twips::place;
    Twips::lockWindowSize(this, kClientWidth, kClientHeight);
    place(Drive1, 120, 120, 4575, 300);
    place(Dir1, 120, 600, 4575, 2190);
    place(Label1, 120, 3120, 495, 255);
    place(Text1, 600, 3000, 3255, 375);
    place(Command1, 3960, 3000, 735, 375);
    QWidget::setTabOrder(Drive1, Dir1);
    QWidget::setTabOrder(Dir1, Text1);
    QWidget::setTabOrder(Text1, Command1);

    connect(Drive1, &DriveListBox::driveChanged, this, &Form2::Drive1_Change);
    connect(Dir1, &FolderListBox::pathChanged, this, &Form2::Dir1_Change);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);

    Form_Load();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    Timer1->start();
    Drive1->setFocus();
}

Form2* Form2::instance() {
    return picker.data();
}

Form2* Form2::showInstance(bool* created) {
    if (created != nullptr) *created = picker.isNull();
    if (picker.isNull()) picker = new Form2;
    picker->show();
    picker->raise();
    picker->activateWindow();
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
    Text1->setText(Dir1->path());
    // The split uses the folder as the literal start of every part's name.
    Text1->setText(
        EngineText::toQt(tovane::withTrailingSeparator(EngineText::fromQt(Text1->text()))));
}

void Form2::Command1_Click() {
    emit folderChosen(Text1->text());
    close();
}

void Form2::Timer1_Timer() {
    Twips::lockWindowSize(this, kClientWidth, kClientHeight);
}
