#include "main_window/form1.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "folder_picker/form2.h"
#include "main_window/chapter_list_window.h"
#include "main_window/chapter_scan.h"
#include "main_window/clickable_label.h"
#include "main_window/line_control.h"
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

namespace {

QPointer<Form1> mainWindow;

// Above this many parts a run asks first.
constexpr std::uint64_t kManyParts = 10000;
// How often the status line follows a run's progress.
constexpr auto kProgressInterval = std::chrono::milliseconds(200);

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, role, colour);
    }
    widget->setPalette(palette);
}

// Keys that move or delete rather than type: they work as in any text box.
bool isEditingKey(int key) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Delete:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Insert:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
            return true;
        default:
            return key >= Qt::Key_F1 && key <= Qt::Key_F35;
    }
}

QString fromEngine(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent, WindowSetup::kWindowFlags) {
    WindowSetup::setUp(this, QStringLiteral("Form1"), WindowTexts::kForm1Title);
    Twips::lockWindowSize(this, kClientWidth, kClientHeight);
    buildControls();
    setUpControls();
    connectHandlers();  // after the initial texts are in, so that loading selects no mode
    buildModeMenu();
    startTimers();
    savepath1->setFocus();
    if (mainWindow.isNull()) mainWindow = this;
}

Form1::~Form1() {
    stopWorker();
}

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
    ControlTable::build<Form1>(
        *this,
        {
            {"Frame1", make<&Form1::Frame1>, nullptr, 120, 120, 6975, 1455, WindowTexts::kFrame1,
             0},
            {"Label2", make<&Form1::Label2>, "Frame1", 120, 360, 855, 375, WindowTexts::kLabel2, 4},
            {"Text1", make<&Form1::Text1>, "Frame1", 960, 240, 4695, 375, WindowTexts::kText1, 5},
            {"Command2", make<&Form1::Command2>, "Frame1", 5760, 240, 975, 375,
             WindowTexts::kCommand2, 3},
            {"Label1", make<&Form1::Label1>, "Frame1", 120, 960, 735, 375, WindowTexts::kLabel1, 1},
            {"savepath1", make<&Form1::savepath1>, "Frame1", 960, 840, 3975, 375,
             WindowTexts::kSavePath1, 2},
            {"Command1", make<&Form1::Command1>, "Frame1", 5040, 840, 855, 375,
             WindowTexts::kCommand1, 6},
            {"Command3", make<&Form1::Command3>, "Frame1", 6000, 840, 855, 375,
             WindowTexts::kCommand3, 18},
            {"Frame2", make<&Form1::Frame2>, nullptr, 120, 1560, 6975, 975, {}, 9},
            {"Frame3", make<&Form1::Frame3>, "Frame2", 120, 120, 5655, 735, {}, 13},
            {"Label3", make<&Form1::Label3>, "Frame3", 360, 360, 255, 255, WindowTexts::kLabel3,
             16},
            {"Label4", make<&Form1::Label4>, "Frame3", 1440, 360, 1695, 255, WindowTexts::kLabel4,
             15},
            {"Label7", make<&Form1::Label7>, "Frame3", 3240, 360, 975, 255, WindowTexts::kLabel7,
             14},
            {"Label6", make<&Form1::Label6>, "Frame3", 4920, 360, 615, 255, WindowTexts::kLabel6,
             17},
            {"Text2", make<&Form1::Text2>, "Frame2", 720, 360, 735, 375,
             fromEngine(tovane::kDefaultSizeText), 10},
            {"Text3", make<&Form1::Text3>, "Frame2", 4320, 360, 615, 375,
             fromEngine(tovane::kDefaultCountText), 11},
            {"Command4", make<&Form1::Command4>, "Frame2", 5880, 360, 975, 375,
             WindowTexts::kStartIdle, 12},
            {"Option1", make<&Form1::Option1>, nullptr, 360, 2040, 255, 255,
             QStringLiteral("Option1"), 7},
            {"Option2", make<&Form1::Option2>, nullptr, 3240, 2040, 255, 255,
             QStringLiteral("Option2"), 8},
            {"Frame4", make<&Form1::Frame4>, nullptr, 120, 2640, 6975, 735, WindowTexts::kFrame4,
             19},
            {"ztl", make<&Form1::ztl>, "Frame4", 120, 360, 6735, 255, WindowTexts::kWelcome, 20},
            {"Line1", make<&Form1::Line1>, "Frame4", 120, 600, 6840 - 120, 15, {}, -1},
            {"Text4", make<&Form1::Text4>, nullptr, 7320, 1800, 2175, 375, {}, 21},
            {"Label5", make<&Form1::Label5>, nullptr, 240, 3480, 6855, 255, WindowTexts::kLabel5,
             22},
        });
}

// What the layout table doesn't say: colours, fonts, limits and who may
// take the focus.
void Form1::setUpControls() {
    Text1->setReadOnly(true);
    setTextColour(Text1, QPalette::Text, Qt::black);
    Text2->setMaxLength(5);
    Text3->setMaxLength(4);
    for (QLineEdit* box : {Text2, Text3}) {
        box->setFont(InterfaceFonts::songTi(10.5));
        // Digits only: an input method would only get in the way.
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    Option1->setChecked(true);
    setTextColour(ztl, QPalette::WindowText, QColor(255, 0, 0));
    Line1->setColour(QColor(0, 0, 255));
    Text4->setVisible(false);
    Text4->setFocusPolicy(Qt::NoFocus);
    for (ClickableLabel* link : {ztl, Label5}) link->setCursor(Qt::PointingHandCursor);
    // A file dropped on the window is taken as Browse would; no box takes drops.
    setAcceptDrops(true);
    for (QLineEdit* box : {Text1, savepath1, Text2, Text3, Text4}) box->setAcceptDrops(false);
}

void Form1::connectHandlers() {
    connect(Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Label5, &ClickableLabel::clicked, this, &Form1::Label5_Click);
    connect(ztl, &ClickableLabel::clicked, this, &Form1::ztl_Click);
    for (QLineEdit* watched : {Text1, savepath1, Text2, Text3}) watched->installEventFilter(this);
    for (QPushButton* button : {Command1, Command2, Command3, Command4}) {
        WindowSetup::clickOnEnter(button);
    }
    scan_ = new ChapterScan(this);
    connect(scan_, &ChapterScan::finished, this, [this] {
        if (statusShowsChoice_) showChoice();
    });
    // A run is stopped with Escape, as with a click on Start.
    stopKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(stopKey_, &QShortcut::activated, this, &Form1::askToStop);
}

// The ways to split, in a menu on every control of the split settings. The
// number boxes keep their own entries for editing below it.
void Form1::buildModeMenu() {
    modes_ = new QActionGroup(this);
    modes_->setExclusive(true);
    const QString texts[] = {WindowTexts::kModeBySize, WindowTexts::kModeBySizeAtChapters,
                             WindowTexts::kModeByMaxSize, WindowTexts::kModeByChapters};
    for (int i = 0; i < 4; ++i) {
        QAction* action = modes_->addAction(texts[i]);
        action->setCheckable(true);
        action->setObjectName(QStringLiteral("Mode%1").arg(i + 1));
        const auto mode = static_cast<Mode>(i);
        connect(action, &QAction::triggered, this, [this, mode] { chooseMode(mode); });
        modeActions_[i] = action;
    }
    modeActions_[0]->setChecked(true);
    showChaptersAction_ = new QAction(WindowTexts::kShowChapters, this);
    showChaptersAction_->setObjectName(QStringLiteral("ShowChapters"));
    connect(showChaptersAction_, &QAction::triggered, this, &Form1::showChapters);
    for (QWidget* control : std::initializer_list<QWidget*>{
             Frame2, Frame3, Option1, Option2, Label3, Text2, Label4, Label7, Text3, Label6}) {
        control->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(
            control, &QWidget::customContextMenuRequested, this,
            [this, control](const QPoint& at) { showModeMenu(control, control->mapToGlobal(at)); });
    }
}

void Form1::showModeMenu(QWidget* control, const QPoint& at) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("ModeMenu"));
    menu.addActions(modes_->actions());
    menu.addSeparator();
    menu.addAction(showChaptersAction_);
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
        QMenu* editing = box->createStandardContextMenu();
        editing->setParent(&menu, editing->windowFlags());
        menu.addSeparator();
        menu.addActions(editing->actions());
    }
    menu.exec(at);
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

void Form1::setLabel5Left(double twips) {
    label5Left_ = twips;
    Label5->move(Twips::toPixels(twips, this), Label5->y());
}

// ---- the split -------------------------------------------------------------

void Form1::Command4_Click() {
    if (worker_ != nullptr) return askToStop();
    tovane::SplitRequest request;
    request.sourcePath = EngineText::fromQt(Text1->text());
    request.saveFolder = EngineText::fromQt(savepath1->text());
    request.baseName = EngineText::fromQt(Text4->text());
    switch (mode_) {
        case Mode::BySize:
            request.mode =
                Option1->isChecked() ? tovane::SplitMode::BySize : tovane::SplitMode::ByCount;
            break;
        case Mode::BySizeAtChapters:
            request.mode = tovane::SplitMode::BySizeAtChapters;
            break;
        case Mode::ByMaxSize:
            request.mode = tovane::SplitMode::ByMaxSize;
            break;
        case Mode::ByChapters:
            request.mode = tovane::SplitMode::ByChapters;
            break;
    }
    request.sizeText = Text2->text().toStdString();
    request.countText = Text3->text().toStdString();
    request.chaptersText = request.countText;

    const tovane::SplitCheck check = tovane::checkSplitRequest(request);
    if (!check.plan) {
        RuntimeServices::showMessage(this, EngineText::toQt(check.message));
        return;
    }
    // A slip of a digit can ask for a million files; say so before making them.
    tovane::SplitPlan plan = *check.plan;
    if (scan_->has(request.sourcePath) && !scan_->result().empty()) plan.chapters = scan_->result().map;
    const std::uint64_t estimate = tovane::estimatePartCount(plan);
    if (estimate > kManyParts && !RuntimeServices::ask(this, WindowTexts::manyParts(estimate))) {
        return;
    }
    // Start stays at hand during the run: a click on it asks whether to stop.
    Command4->setText(WindowTexts::kStartBusy);
    holdSettingsStill(true);
    baseName_ = EngineText::toQt(check.plan->baseName);
    // A run refused before it touched anything leaves the status line as it was.
    statusBefore_ = {ztl->text(), ztl->toolTip()};
    statusShowedChoice_ = statusShowsChoice_;
    statusShowsChoice_ = false;
    showStatus(EngineText::toQt(tovane::texts::progress(check.plan->baseName)), baseName_);

    // The split runs on a worker so the window keeps repainting; the fields
    // were read above, once. Progress comes back through the event loop a
    // few times a second.
    stopSplit_ = false;

    worker_ = QThread::create([this, plan] {
        auto shown = std::chrono::steady_clock::now();
        outcome_ = tovane::executeSplit(
            plan,
            [this, &shown](const tovane::SplitProgress& now) {
                const auto at = std::chrono::steady_clock::now();
                if (at - shown < kProgressInterval) return;
                shown = at;
                QMetaObject::invokeMethod(
                    this, [this, now] { showProgress(now); }, Qt::QueuedConnection);
            },
            &stopSplit_);
    });
    connect(worker_, &QThread::finished, this, &Form1::showSplitOutcome);
    worker_->start();
}

void Form1::showProgress(const tovane::SplitProgress& now) {
    if (worker_ == nullptr) return;  // a late one, after the outcome
    const auto percent = now.total > 0 ? static_cast<unsigned>(now.done * 100 / now.total) : 100u;
    showStatus(EngineText::toQt(
                   tovane::texts::progressAt(EngineText::fromQt(baseName_), percent, now.part)),
               baseName_);
}

// Asked before stopping: a stop keeps the parts completed and removes the one
// being written.
void Form1::askToStop() {
    if (worker_ == nullptr || stopSplit_) return;
    if (RuntimeServices::ask(this, WindowTexts::kStopQuestion) && worker_ != nullptr) {
        stopSplit_ = true;
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

// The status line shows `text` whole when it fits; otherwise `name` in it
// loses its middle, so that the figures after it stay in view, and the whole
// text is the tooltip.
void Form1::showStatus(const QString& text, const QString& name) {
    const QFontMetrics metrics(ztl->font());
    const int room = ztl->contentsRect().width();
    const qsizetype at = name.isEmpty() ? -1 : text.indexOf(name);
    if (metrics.horizontalAdvance(text) <= room || at < 0) {
        ztl->setText(text);
        ztl->setToolTip(QString());
        return;
    }
    const QString before = text.left(at);
    const QString after = text.mid(at + name.size());
    const int nameRoom = std::max(0, room - metrics.horizontalAdvance(before + after));
    ztl->setText(before + metrics.elidedText(name, Qt::ElideMiddle, nameRoom) + after);
    ztl->setToolTip(text);
}

void Form1::showSplitOutcome() {
    if (worker_ == nullptr) return;
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    if (!outcome_.status.empty()) {
        showStatus(EngineText::toQt(outcome_.status), baseName_);
    } else {
        ztl->setText(statusBefore_.first);
        ztl->setToolTip(statusBefore_.second);
        statusShowsChoice_ = statusShowedChoice_;
    }
    holdSettingsStill(false);
    Command4->setText(WindowTexts::kStartIdle);
    if (!outcome_.message.empty()) {
        RuntimeServices::showMessage(this, EngineText::toQt(outcome_.message));
    }
    emit splitFinished();
}

void Form1::closeEvent(QCloseEvent* event) {
    // A slip of the mouse must not end a long run without a word.
    if (worker_ != nullptr && !RuntimeServices::ask(this, WindowTexts::kCloseWhileSplitting)) {
        event->ignore();
        return;
    }
    stopWorker();
    event->accept();
}

// ---- drops -----------------------------------------------------------------

// One file dropped anywhere on the window is taken as Browse takes it; a
// folder, several files or a drop during a run are refused.
QString Form1::droppedFile(const QMimeData* dropped) const {
    if (worker_ != nullptr || dropped == nullptr || !dropped->hasUrls()) return {};
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

// Stops a split in progress at its next line and waits for it: the run
// removes the part it was writing and names the parts it completed.
void Form1::stopWorker() {
    if (worker_ == nullptr) return;
    stopSplit_ = true;
    worker_->disconnect(this);
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
}

// ---- Settings, Browse, Open ------------------------------------------------

void Form1::Command1_Click() {
    bool created = false;
    Form2* picker = Form2::showInstance(&created);
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
    const std::string source = chosenSource();
    if (tovane::files::isRegularFile(source)) {
        scan_->start(source);
    } else {
        scan_->clear();
    }
    showChoice();
    Text4->clear();
    Text4->setText(EngineText::toQt(tovane::baseNameOf(EngineText::fromQt(dialogFileTitle_))));
}

void Form1::Command3_Click() {
    const QString folder = savepath1->text();
    if (!tovane::files::isDirectory(EngineText::fromQt(folder))) {
        RuntimeServices::showMessage(this, WindowTexts::kSaveFolderMissing);
        return;
    }
    if (!RuntimeServices::open(QUrl::fromLocalFile(folder))) {
        RuntimeServices::showMessage(this, WindowTexts::kCannotOpenFolder);
    }
}

// ---- links, timers, mode ---------------------------------------------------

void Form1::Label5_Click() {
    RuntimeServices::open(AppResources::helpArticle());
}

void Form1::ztl_Click() {
    RuntimeServices::open(AppResources::homePage());
}

void Form1::Timer1_Timer() {
    Twips::lockWindowSize(this, kClientWidth, kClientHeight);
}

void Form1::Timer2_Timer() {
    setLabel5Left(label5Left_ >= 5000 ? 240 : label5Left_ + 10);
}

void Form1::Text2_Change() {
    Option1->setChecked(true);
    if (statusShowsChoice_ && mode_ == Mode::BySizeAtChapters) showChoice();
}

void Form1::Text3_Change() {
    Option2->setChecked(true);
    if (statusShowsChoice_ && mode_ == Mode::ByChapters) showChoice();
}

// ---- the ways to split -----------------------------------------------------

// A way that cuts at chapters is taken only for a book that has some; the
// window stays in the way it was in otherwise.
void Form1::chooseMode(Mode mode) {
    const bool byChapters = mode == Mode::BySizeAtChapters || mode == Mode::ByChapters;
    if (byChapters && !sourceHasChapters()) {
        modeActions_[static_cast<int>(mode_)]->setChecked(true);
        return;
    }
    mode_ = mode;
    applyMode();
    if (statusShowsChoice_) showChoice();
}

// The words beside the boxes say which way the window splits; the box a way
// doesn't read is greyed, with its mark and words.
void Form1::applyMode() {
    const bool chapters = mode_ == Mode::ByChapters;
    const bool sizeOnly = mode_ == Mode::BySizeAtChapters || mode_ == Mode::ByMaxSize;
    Label4->setText(mode_ == Mode::BySizeAtChapters ? WindowTexts::kLabel4AtChapters
                    : mode_ == Mode::ByMaxSize      ? WindowTexts::kLabel4MaxSize
                                                    : WindowTexts::kLabel4);
    Label7->setText(chapters ? WindowTexts::kLabel7Chapters : WindowTexts::kLabel7);
    Label6->setText(chapters ? WindowTexts::kLabel6Chapters : WindowTexts::kLabel6);
    if (chapters) Option2->setChecked(true);
    if (sizeOnly) Option1->setChecked(true);
    for (QWidget* control : std::initializer_list<QWidget*>{Option1, Label3, Text2, Label4}) {
        control->setEnabled(!chapters);
    }
    for (QWidget* control : std::initializer_list<QWidget*>{Option2, Label7, Text3, Label6}) {
        control->setEnabled(!sizeOnly);
    }
    modeActions_[static_cast<int>(mode_)]->setChecked(true);
}

std::string Form1::chosenSource() const {
    return EngineText::fromQt(Text1->text());
}

void Form1::waitForChapterScan() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    scan_->wait();
    QApplication::restoreOverrideCursor();
}

// False, having said so, when the chosen book is known to have no heading;
// a book still being looked over is waited for.
bool Form1::sourceHasChapters() {
    const std::string source = chosenSource();
    if (!tovane::files::isRegularFile(source)) return true;  // Start will say what is wrong
    if (scan_->running()) waitForChapterScan();
    if (!scan_->has(source) || !scan_->result().empty()) return true;
    RuntimeServices::showMessage(this, WindowTexts::kNoChapters);
    return false;
}

void Form1::showChapters() {
    const std::string source = chosenSource();
    if (!tovane::files::isRegularFile(source)) {
        RuntimeServices::showMessage(this, EngineText::toQt(tovane::texts::kSourceMissing));
        return;
    }
    if (!scan_->has(source)) {
        if (!scan_->running()) scan_->start(source);
        waitForChapterScan();
    }
    const tovane::ChapterList& list = scan_->result();
    if (!list.message.empty()) {
        RuntimeServices::showMessage(this, EngineText::toQt(list.message));
        return;
    }
    if (list.empty()) {
        RuntimeServices::showMessage(this, WindowTexts::kNoChapters);
        return;
    }
    if (chapterList_) chapterList_->close();
    chapterList_ = new ChapterListWindow(dialogFileTitle_, *list.map, this);
    chapterList_->show();
}

// The chosen file's name in the status line, and once its chapters are
// counted, how many there are: in a way that cuts at chapters, how many
// parts Start would make.
void Form1::showChoice() {
    statusShowsChoice_ = true;
    showStatus(
        WindowTexts::kChosenBefore + dialogFileTitle_ + WindowTexts::kChosenAfter + chaptersHint(),
        dialogFileTitle_);
}

QString Form1::chaptersHint() const {
    if (!scan_->has(chosenSource()) || scan_->result().empty()) return {};
    const auto chapters = static_cast<qulonglong>(scan_->result().map->blocks.size());
    tovane::SplitPlan plan;
    plan.rule = mode_ == Mode::ByChapters         ? tovane::PartRule::ByChapters
                : mode_ == Mode::BySizeAtChapters ? tovane::PartRule::BySizeAtChapters
                                                  : tovane::PartRule::BySize;
    if (plan.rule == tovane::PartRule::BySize) return WindowTexts::chaptersFound(chapters);
    plan.chaptersPerPart = tovane::wholeNumberFromText(Text3->text().toStdString()).value_or(0);
    plan.byteLimit = tovane::limitFromSizeText(Text2->text().toStdString()).value_or(0);
    const tovane::ChapterMap& map = *scan_->result().map;
    const std::uint64_t parts = plan.rule == tovane::PartRule::ByChapters
                                    ? tovane::partsOfChapters(map, plan.chaptersPerPart)
                                    : tovane::partsOfSizeAtChapters(map, plan.byteLimit);
    if (parts == 0) return WindowTexts::chaptersFound(chapters);
    return plan.rule == tovane::PartRule::ByChapters
               ? WindowTexts::chaptersMakeParts(chapters, parts)
               : WindowTexts::chaptersMakeAboutParts(chapters, parts);
}

// ---- focus bounce and digit filter -----------------------------------------

void Form1::bounceFocus(QLineEdit* box) {
    // Disabling passes the focus on; enabling at once keeps it from looking greyed.
    box->setEnabled(false);
    box->setEnabled(true);
    box->deselect();
}

bool Form1::filterDigitKey(QKeyEvent* event) {
    const int key = event->key();
    if (isEditingKey(key)) return false;
    int code = -1;
    if (key == Qt::Key_Backspace) {
        code = 8;
    } else if (!event->text().isEmpty()) {
        code = event->text().at(0).unicode();
    } else if (key == Qt::Key_Escape) {
        code = 27;
    } else if ((event->modifiers() & Qt::ControlModifier) && key >= Qt::Key_At &&
               key <= Qt::Key_Z) {
        code = key - Qt::Key_At;  // Ctrl+V and the like are control characters
    }
    if (code < 0) return false;  // no character: nothing to filter
    if ((code >= '0' && code <= '9') || code == 8) return false;
    RuntimeServices::beep();
    return true;
}

bool Form1::filterDigitInput(QInputMethodEvent* event) {
    const QString text = event->commitString();
    if (text.isEmpty()) return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            RuntimeServices::beep();
            return true;
        }
    }
    return false;
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == Text1 || watched == savepath1) {
        auto* box = static_cast<QLineEdit*>(watched);
        const bool bounce =
            type == QEvent::FocusIn || (box == Text1 && type == QEvent::MouseButtonPress);
        if (bounce) bounceFocus(box);
        // What the box itself would do on gaining the focus or under the
        // mouse (select all, place a caret, start a selection) isn't done:
        // it shows no caret or selection it can't use.
        return bounce || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
               type == QEvent::MouseMove || type == QEvent::MouseButtonRelease;
    }
    if (watched == Text2 || watched == Text3) {
        auto* box = static_cast<QLineEdit*>(watched);
        if (type == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            // Enter in a number box starts the split, as a click on Start does.
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                Command4->click();
                return true;
            }
            return filterDigitKey(key);
        }
        if (type == QEvent::ShortcutOverride) {
            // Keep Ctrl+V and friends away from the box's own shortcuts, so the
            // key press reaches the filter above.
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers() & Qt::ControlModifier) event->accept();
            return false;
        }
        if (type == QEvent::InputMethod) {
            return filterDigitInput(static_cast<QInputMethodEvent*>(event));
        }
        if (type == QEvent::MouseButtonRelease) {
            (box == Text2 ? Option1 : Option2)->setChecked(true);
        }
    }
    return QWidget::eventFilter(watched, event);
}
