#include "main_window/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>

#include "folder_picker/form2.h"
#include "main_window/book_chapters.h"
#include "main_window/digit_box.h"
#include "main_window/line_control.h"
#include "main_window/option_mark.h"
#include "main_window/path_box.h"
#include "main_window/split_runner.h"
#include "main_window/split_ways.h"
#include "main_window/status_line.h"
#include "platform/app_resources.h"
#include "platform/control_table.h"
#include "platform/engine_text.h"
#include "platform/interface_fonts.h"
#include "platform/runtime_services.h"
#include "platform/twips.h"
#include "platform/window_setup.h"
#include "platform/window_texts.h"
#include "split/io/file_system.h"
#include "split/part_limit.h"
#include "split/parts/part_names.h"
#include "split/split_run.h"
#include "split/split_texts.h"
#include "split/ways/ways.h"

namespace {

QPointer<Form1> mainWindow;

// Above this many parts a run asks first.
constexpr std::uint64_t kManyParts = 10000;

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, role, colour);
    }
    widget->setPalette(palette);
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent, WindowSetup::kWindowFlags) {
    WindowSetup::setUp(this, QStringLiteral("Form1"), WindowTexts::kForm1Title);
    Twips::lockWindowSize(this, kClientWidth, kClientHeight);
    buildControls();
    setUpControls();
    connectHandlers();  // after the initial texts are in, so that loading selects no mode
    startTimers();
    savepath1->setFocus();
    if (mainWindow.isNull()) mainWindow = this;
}

Form1::~Form1() = default;

Form1* Form1::instance() {
    return mainWindow.data();
}

Form1* Form1::ensureInstance(bool* created) {
    if (created != nullptr) *created = mainWindow.isNull();
    if (mainWindow.isNull()) mainWindow = new Form1;
    return mainWindow.data();
}

// The layout: every control with its container, place and size in twips,
// caption and tab index. Frame3 comes before the boxes and the button that
// sit over it in Frame2, and the option marks, on the window itself so that
// they form one group, after Frame2 so that they show over it.
void Form1::buildControls() {
    using ControlTable::make;
    namespace T = WindowTexts;
    const QString sizeText =
        EngineText::wordsToQt(tovane::wayOf(tovane::SplitMode::BySize).defaultNumber);
    const QString countText =
        EngineText::wordsToQt(tovane::wayOf(tovane::SplitMode::ByCount).defaultNumber);
    ControlTable::build<Form1>(
        *this,
        {
            {"Frame1", make<&Form1::Frame1>, nullptr, 120, 120, 6975, 1455, T::kFrame1, 0},
            {"Label2", make<&Form1::Label2>, "Frame1", 120, 360, 855, 375, T::kLabel2, 4},
            {"Text1", make<&Form1::Text1>, "Frame1", 960, 240, 4695, 375, T::kText1, 5},
            {"Command2", make<&Form1::Command2>, "Frame1", 5760, 240, 975, 375, T::kCommand2, 3},
            {"Label1", make<&Form1::Label1>, "Frame1", 120, 960, 735, 375, T::kLabel1, 1},
            {"savepath1", make<&Form1::savepath1>, "Frame1", 960, 840, 3975, 375, T::kSavePath1, 2},
            {"Command1", make<&Form1::Command1>, "Frame1", 5040, 840, 855, 375, T::kCommand1, 6},
            {"Command3", make<&Form1::Command3>, "Frame1", 6000, 840, 855, 375, T::kCommand3, 18},
            {"Frame2", make<&Form1::Frame2>, nullptr, 120, 1560, 6975, 975, {}, 9},
            {"Frame3", make<&Form1::Frame3>, "Frame2", 120, 120, 5655, 735, {}, 13},
            {"Label3", make<&Form1::Label3>, "Frame3", 360, 360, 255, 255, T::kLabel3, 16},
            {"Label4", make<&Form1::Label4>, "Frame3", 1440, 360, 1695, 255, T::kLabel4, 15},
            {"Label7", make<&Form1::Label7>, "Frame3", 3240, 360, 975, 255, T::kLabel7, 14},
            {"Label6", make<&Form1::Label6>, "Frame3", 4920, 360, 615, 255, T::kLabel6, 17},
            {"Text2", make<&Form1::Text2>, "Frame2", 720, 360, 735, 375, sizeText, 10},
            {"Text3", make<&Form1::Text3>, "Frame2", 4320, 360, 615, 375, countText, 11},
            {"Command4", make<&Form1::Command4>, "Frame2", 5880, 360, 975, 375, T::kStartIdle, 12},
            {"Option1", make<&Form1::Option1>, nullptr, 360, 2040, 255, 255,
             QStringLiteral("Option1"), 7},
            {"Option2", make<&Form1::Option2>, nullptr, 3240, 2040, 255, 255,
             QStringLiteral("Option2"), 8},
            {"Frame4", make<&Form1::Frame4>, nullptr, 120, 2640, 6975, 735, T::kFrame4, 19},
            {"ztl", make<&Form1::ztl>, "Frame4", 120, 360, 6735, 255, T::kWelcome, 20},
            {"Line1", make<&Form1::Line1>, "Frame4", 120, 600, 6840 - 120, 15, {}, -1},
            {"Text4", make<&Form1::Text4>, nullptr, 7320, 1800, 2175, 375, {}, 21},
            {"Label5", make<&Form1::Label5>, nullptr, 240, 3480, 6855, 255, T::kLabel5, 22},
        });
}

// What the layout table doesn't say: colours, fonts, limits and who may
// take the focus.
void Form1::setUpControls() {
    Text1->setReadOnly(true);
    Text1->setBouncesOnPress(true);
    setTextColour(Text1, QPalette::Text, Qt::black);
    Text2->setMaxLength(5);
    Text3->setMaxLength(4);
    for (DigitBox* box : {Text2, Text3}) box->setFont(InterfaceFonts::songTi(10.5));
    Option1->setChecked(true);
    setTextColour(ztl, QPalette::WindowText, QColor(255, 0, 0));
    Line1->setColour(QColor(0, 0, 255));
    Text4->setVisible(false);
    Text4->setFocusPolicy(Qt::NoFocus);
    for (ClickableLabel* link : {static_cast<ClickableLabel*>(ztl), Label5}) {
        link->setCursor(Qt::PointingHandCursor);
    }
    // A file dropped on the window is taken as Browse would; no box takes drops.
    setAcceptDrops(true);
    for (QLineEdit* box :
         std::initializer_list<QLineEdit*>{Text1, savepath1, Text2, Text3, Text4}) {
        box->setAcceptDrops(false);
    }
}

void Form1::connectHandlers() {
    connect(Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
    connect(Text2, &DigitBox::clicked, Option1, [this] { Option1->setChecked(true); });
    connect(Text3, &DigitBox::clicked, Option2, [this] { Option2->setChecked(true); });
    // Enter in a number box starts the split, as a click on Start does.
    for (DigitBox* box : {Text2, Text3})
        connect(box, &DigitBox::entered, Command4, &QPushButton::click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Label5, &ClickableLabel::clicked, this, &Form1::Label5_Click);
    connect(ztl, &ClickableLabel::clicked, this, &Form1::ztl_Click);
    for (QPushButton* button : {Command1, Command2, Command3, Command4}) {
        WindowSetup::clickOnEnter(button);
    }
    ways_ = new SplitWays(
        {Option1,
         Option2,
         Label3,
         Text2,
         Label4,
         Label7,
         Text3,
         Label6,
         {Frame2, Frame3, Option1, Option2, Label3, Text2, Label4, Label7, Text3, Label6}},
        this);
    connect(ways_, &SplitWays::entryPicked, this, &Form1::chooseWay);
    // Another encoding: the book is read again in it.
    connect(ways_, &SplitWays::encodingPicked, this, [this] {
        if (!Text1->text().isEmpty() && dialogFileName_ == Text1->text()) applyBrowseResult();
    });
    connect(ways_->showChaptersAction(), &QAction::triggered, this, &Form1::showChapters);
    connect(ways_, &SplitWays::ticksChanged, this, &Form1::followChoice);
    // The menu of ways from the keyboard: the Menu key opens it on its own,
    // Shift+F10 as Windows programs do.
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this), &QShortcut::activated, this,
            [this] { ways_->showMenuFromKeyboard(Frame2); });
    chapters_ = new BookChapters(this);
    connect(chapters_, &BookChapters::found, this, &Form1::chaptersFound);
    connect(chapters_, &BookChapters::ticksChanged, this, &Form1::followChoice);
    connect(chapters_, &BookChapters::scanProgressed, this, [this] {
        if (!runner_->running() && statusShowsChoice_) showChoice();
    });
    runner_ = new SplitRunner(this);
    connect(runner_, &SplitRunner::progressed, this, &Form1::showProgress);
    connect(runner_, &SplitRunner::finished, this, &Form1::showSplitOutcome);
    // A run is stopped with Escape, as with a click on Start.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &Form1::askToStop);
}

void Form1::startTimers() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(10);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    Timer1->start();
    Timer2->start();
}

bool Form1::isSplitting() const {
    return runner_->running();
}

tovane::SplitMode Form1::mode() const {
    return ways_->way().mode;
}

void Form1::setLabel5Left(double twips) {
    label5Left_ = twips;
    Label5->move(Twips::toPixels(twips, this), Label5->y());
}

// ---- the split -------------------------------------------------------------

void Form1::Command4_Click() {
    if (runner_->running()) return askToStop();
    tovane::SplitRequest request;
    request.sourcePath = EngineText::fromQt(Text1->text());
    request.saveFolder = EngineText::fromQt(savepath1->text());
    request.baseName = EngineText::fromQt(Text4->text());
    request.mode = ways_->way().mode;
    request.numberText = ways_->numberText().toStdString();
    request.chapters = chapters_->cuts();
    request.pad = ways_->padNumbers();
    request.titleNames = ways_->titleNames();
    request.toUtf8 = ways_->toUtf8();
    request.encoding = ways_->encoding();
    const tovane::SplitCheck check = tovane::checkSplitRequest(request);
    if (!check.plan) {
        sayNotSplit(EngineText::toQt(request.baseName));
        RuntimeServices::showMessage(this, EngineText::toQt(check.message));
        return;
    }
    // A slip of a digit can ask for a million files; say so before making them.
    const std::uint64_t estimate = tovane::estimatePartCount(*check.plan);
    if (estimate > kManyParts && !RuntimeServices::ask(this, WindowTexts::manyParts(estimate))) {
        return;
    }
    // Start stays at hand during the run: a click on it asks whether to stop.
    Command4->setText(WindowTexts::kStartBusy);
    holdSettingsStill(true);
    baseName_ = EngineText::toQt(check.plan->baseName);
    // A run refused before it touched anything leaves the status line as it was.
    statusBefore_ = ztl->kept();
    statusShowedChoice_ = statusShowsChoice_;
    statusShowsChoice_ = false;
    ztl->showFitted(EngineText::toQt(tovane::texts::progress(check.plan->baseName)), baseName_);
    runner_->start(*check.plan);
}

void Form1::showProgress(const tovane::SplitProgress& now) {
    const auto percent = now.total > 0 ? static_cast<unsigned>(now.done * 100 / now.total) : 100u;
    ztl->showFitted(EngineText::toQt(tovane::texts::progressAt(EngineText::fromQt(baseName_),
                                                               percent, now.part)),
                    baseName_);
}

// Asked before stopping: a stop keeps the parts completed and removes the one
// being written. A run that ends while it is asked closes the question.
void Form1::askToStop() {
    if (!runner_->running() || runner_->stopping()) return;
    if (RuntimeServices::ask(this, WindowTexts::kStopQuestion) && runner_->running()) {
        runner_->stop();
    }
}

// The controls a split reads stay as they were for the whole run, as they
// did when a run held the window: Browse, Settings, the mode and both numbers.
void Form1::holdSettingsStill(bool hold) {
    QWidget* const settings[] = {Command2, Command1, Option1, Option2, Text2, Text3};
    if (hold) {
        heldEnabled_.clear();
        for (QWidget* control : settings) {
            heldEnabled_.push_back(control->isEnabled());
            control->setEnabled(false);
        }
        return;
    }
    for (std::size_t i = 0; i < heldEnabled_.size(); ++i) settings[i]->setEnabled(heldEnabled_[i]);
    heldEnabled_.clear();
}

void Form1::showSplitOutcome() {
    RuntimeServices::closeQuestion();
    const tovane::SplitOutcome& outcome = runner_->outcome();
    if (!outcome.status.empty()) {
        // A book read in another encoding than GBK says so after the summary.
        const QString read = outcome.format ? BookChapters::readAs(*outcome.format) : QString();
        ztl->showFitted(EngineText::toQt(outcome.status) +
                            (read.isEmpty() ? QString() : WindowTexts::preview({read}, {})),
                        baseName_);
    } else {
        ztl->restore(statusBefore_);
        statusShowsChoice_ = statusShowedChoice_;
        sayNotSplit(baseName_);
    }
    holdSettingsStill(false);
    Command4->setText(WindowTexts::kStartIdle);
    if (!outcome.message.empty()) {
        RuntimeServices::showMessage(this, EngineText::toQt(outcome.message));
    }
    emit splitFinished();
}

// A run refused before it made anything leaves the status line as it was,
// unless it held an earlier run's summary, which would now say something
// untrue: then it says that this run made nothing.
void Form1::sayNotSplit(const QString& baseName) {
    if (statusShowsChoice_ || dialogFileTitle_.isEmpty()) return;
    ztl->showFitted(EngineText::toQt(tovane::texts::notSplit(EngineText::fromQt(baseName))),
                    baseName);
}

void Form1::closeEvent(QCloseEvent* event) {
    // A slip of the mouse must not end a long run without a word.
    if (runner_->running() && !RuntimeServices::ask(this, WindowTexts::kCloseWhileSplitting)) {
        event->ignore();
        return;
    }
    runner_->stopAndWait();
    chapters_->closeList();
    event->accept();
}

// ---- drops -----------------------------------------------------------------

// One file dropped anywhere on the window is taken as Browse takes it; a
// folder, several files or a drop during a run are refused.
QString Form1::droppedFile(const QMimeData* dropped) const {
    if (runner_->running() || dropped == nullptr || !dropped->hasUrls()) return {};
    const QList<QUrl> urls = dropped->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) return {};
    const QString path = urls.first().toLocalFile();
    return QFileInfo(path).isFile() ? path : QString();
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    chooseSource(path);
}

// ---- Settings, Browse, Open ------------------------------------------------

void Form1::Command1_Click() {
    bool created = false;
    Form2* picker = Form2::showInstance(&created, savepath1->text(), this);
    // The picker hands its folder to whichever main window is open when OK is
    // clicked, or to a new one if this one was closed meanwhile.
    if (created) connect(picker, &Form2::folderChosen, qApp, &Form1::receiveSaveFolder);
}

void Form1::receiveSaveFolder(const QString& folder) {
    bool created = false;
    Form1* window = ensureInstance(&created);
    window->savepath1->setText(folder);
    if (created) window->show();
}

void Form1::Command2_Click() {
    const QString folder =
        dialogFileName_.isEmpty() ? QString() : QFileInfo(dialogFileName_).absolutePath();
    const QString chosen =
        RuntimeServices::chooseFileToOpen(this, folder, WindowTexts::kDialogFilter);
    // A cancel leaves the dialog's last path and title, and they are used again.
    if (!chosen.isEmpty()) {
        dialogFileName_ = QDir::toNativeSeparators(chosen);
        dialogFileTitle_ = QFileInfo(chosen).fileName();
    }
    applyBrowseResult();
}

void Form1::chooseSource(const QString& path) {
    const QFileInfo file(path);
    dialogFileName_ = QDir::toNativeSeparators(file.absoluteFilePath());
    dialogFileTitle_ = file.fileName();
    applyBrowseResult();
}

void Form1::applyBrowseResult() {
    Text1->setText(dialogFileName_);
    // Its chapters are counted meanwhile, and the status line says so.
    const std::string source = EngineText::fromQt(Text1->text());
    chapters_->choose(tovane::files::isRegularFile(source) ? source : std::string(),
                      dialogFileTitle_, ways_->encoding());
    showChoice();
    refreshChapterList();
    Text4->clear();
    Text4->setText(EngineText::toQt(tovane::baseNameOf(EngineText::fromQt(dialogFileTitle_))));
}

void Form1::Command3_Click() {
    const QString folder = savepath1->text();
    if (!tovane::files::isDirectory(EngineText::fromQt(folder))) {
        RuntimeServices::showMessage(this, WindowTexts::kSaveFolderMissing);
        return;
    }
    RuntimeServices::open(this, QUrl::fromLocalFile(folder), WindowTexts::kCannotOpenFolder);
}

// ---- links, timers, number boxes -------------------------------------------

void Form1::Label5_Click() {
    openPage(AppResources::helpArticle());
}

void Form1::ztl_Click() {
    openPage(AppResources::homePage());
}

// A shipped page, or where it is when nothing opens it.
void Form1::openPage(const QUrl& page) {
    const QString where =
        page.isLocalFile() ? QDir::toNativeSeparators(page.toLocalFile()) : page.toString();
    RuntimeServices::open(this, page, WindowTexts::noBrowser(where));
}

void Form1::Timer1_Timer() {
    Twips::lockWindowSize(this, kClientWidth, kClientHeight);
}

void Form1::Timer2_Timer() {
    setLabel5Left(label5Left_ >= 5000 ? 240 : label5Left_ + 10);
}

void Form1::Text2_Change() {
    Option1->setChecked(true);
    followChoice();
}

void Form1::Text3_Change() {
    Option2->setChecked(true);
    followChoice();
}

// ---- the ways to split and the chapters ------------------------------------

// A way that cuts at chapters is taken only for a book that has some; the
// window stays in the way it was in otherwise.
void Form1::chooseWay(int entry) {
    const tovane::SplitWay& way = SplitWays::wayOfEntry(entry);
    if (way.cutsAtChapters() && chapters_->knownToHaveNone()) {
        RuntimeServices::showMessage(this, WindowTexts::kNoChapters);
        ways_->take(ways_->entry());  // the menu's mark back where it was
        return;
    }
    if (way.cuts == tovane::WayCuts::Volumes && !chapters_->hasVolumes()) {
        RuntimeServices::showMessage(this, WindowTexts::kNoVolumes);
        ways_->take(ways_->entry());
        return;
    }
    ways_->take(entry);
    followChoice();
}

// The chosen book's chapters are known: in a way that cuts at chapters, a
// book without any takes the window back to the first way, by size with
// the size the reader had, saying so.
void Form1::chaptersFound() {
    const tovane::SplitWay& way = ways_->way();
    const bool none = way.cutsAtChapters() && chapters_->knownToHaveNone();
    if (none || (way.cuts == tovane::WayCuts::Volumes && !chapters_->hasVolumes())) {
        ways_->take(1);
        Option1->setChecked(true);
        statusShowsChoice_ = true;
        ztl->showFitted(
            WindowTexts::kChosenBefore + dialogFileTitle_ + WindowTexts::kChosenAfter +
                (none ? WindowTexts::kNoHeadingsBackToSize : WindowTexts::kNoVolumesBackToSize),
            dialogFileTitle_);
        refreshChapterList();
        return;
    }
    followChoice();
}

void Form1::showChapters() {
    if (!tovane::files::isRegularFile(EngineText::fromQt(Text1->text()))) {
        RuntimeServices::showMessage(this, EngineText::toQt(tovane::texts::kSourceMissing));
        return;
    }
    chapters_->showList(ways_->way(), Text2->text(), Text3->text());
}

void Form1::refreshChapterList() {
    chapters_->refreshList(ways_->way(), Text2->text(), Text3->text());
}

// The status line and the list of chapters follow the way, its number and
// the ticks: after a run too, whose summary gives way to what the next
// would do as soon as anything changes.
void Form1::followChoice() {
    if (!runner_->running() && (statusShowsChoice_ || !dialogFileTitle_.isEmpty())) showChoice();
    refreshChapterList();
}

// The chosen file's name in the status line, and once its chapters are
// counted, how many there are: in a way that cuts at chapters, how many
// parts Start would make.
void Form1::showChoice() {
    statusShowsChoice_ = true;
    const tovane::SplitWay& way = ways_->way();
    // Whatever changes the parts shows, so that no tick left on from another
    // book changes them unseen.
    QStringList choices = chapters_->corrections();
    if (const QString read = chapters_->readAs(); !read.isEmpty()) choices.prepend(read);
    if (ways_->padNumbers() && !ways_->titleNames()) choices << WindowTexts::kChoicePad;
    if (ways_->titleNames()) choices << WindowTexts::kChoiceTitleNames;
    if (ways_->toUtf8()) choices << WindowTexts::kChoiceUtf8;
    ztl->showFitted(WindowTexts::kChosenBefore + dialogFileTitle_ + WindowTexts::kChosenAfter +
                        WindowTexts::preview(chapters_->about(way, ways_->numberText()), choices),
                    dialogFileTitle_);
}
