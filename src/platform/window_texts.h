// Every word the windows show of their own (the main window, the picker, the
// chapter list, the menu of ways), in one place. The words of the engine's
// work (its messages, the status line during and after a run, a heading's
// level) are made for the windows and the command line alike in
// split/split_texts.h.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace WindowTexts {

// The main window.
inline const QString kForm1Title = QStringLiteral("Tovane V" TOVANE_VERSION_SHORT " 正式版");
inline const QString kFrame1 = QStringLiteral("基本设置");
inline const QString kLabel2 = QStringLiteral("TxT文件：");
inline const QString kText1 = QStringLiteral("请点击“浏览”选择要分割的TxT文件");
inline const QString kCommand2 = QStringLiteral("浏 览");
inline const QString kLabel1 = QStringLiteral("保存到：");
inline const QString kSavePath1 = QStringLiteral("请“设置”要保存分割后文件的路径");
inline const QString kCommand1 = QStringLiteral("设  置");
inline const QString kCommand3 = QStringLiteral("打  开");
inline const QString kLabel3 = QStringLiteral("每");
inline const QString kLabel4 = QStringLiteral("KB分割成一个文件");
inline const QString kLabel7 = QStringLiteral("平均分割成");
inline const QString kLabel6 = QStringLiteral("个文件");
inline const QString kStartIdle = QStringLiteral("开始分割");  // Command4, at rest
inline const QString kStartBusy = QStringLiteral("请稍等");    // Command4, during a run
inline const QString kFrame4 = QStringLiteral("状态栏");
inline const QString kWelcome = QStringLiteral(
    "  欢迎使用,Tovane 文本分割工具 V" TOVANE_VERSION_SHORT " [Tovane 主页：点击这里打开]");
inline const QString kLabel5 = QStringLiteral("异常处理:分割后的TxT文件全部是“乱码”怎么办?");
inline const QString kDialogFilter = QStringLiteral("TXT文件(*.txt)");
inline const QString kChosenBefore = QStringLiteral("您选择分割的文件名为“");
inline const QString kChosenAfter = QStringLiteral("”");
inline const QString kSaveFolderMissing = QStringLiteral("保存路径不存在！");
inline QString manyParts(std::uint64_t estimate) {
    return QStringLiteral("这样会生成大约 %1 个文件，确定要继续吗？").arg(estimate);
}
inline const QString kCloseWhileSplitting =
    QStringLiteral("正在分割，关闭窗口会停止分割（已完成的文件会保留）。确定要关闭吗？");
inline const QString kStopQuestion = QStringLiteral("要停止分割吗？已经完成的文件会保留。");
// A page that no browser took: where it is, to open by hand.
inline QString noBrowser(const QString& page) {
    return QStringLiteral("没有找到可以打开网页的程序。这一页在：\n%1").arg(page);
}
inline const QString kCannotOpenFolder =
    QStringLiteral("无法启动文件管理器打开保存的文件夹，请自己打开它。");

// The ways to split, in the menu of the split settings (a right click):
// each entry's words, and those beside the number boxes when it is chosen.
inline const QString kModeBySize = QStringLiteral("按大小分割(&1)");
inline const QString kModeBySizeAtChapters = QStringLiteral("按大小分割，只在章节处分开(&2)");
inline const QString kModeByMaxSize = QStringLiteral("按大小分割，每个文件不超过 N KB(&3)");
inline const QString kModeByChapters = QStringLiteral("按章节分割(&4)");
inline const QString kModeByVolumes = QStringLiteral("按卷分割(&5)");
inline const QString kShowChapters = QStringLiteral("查看找到的章节…(&6)");
// How the parts are named and written, below the ways in the same menu.
inline const QString kPadNumbers = QStringLiteral("文件编号补零(&P)");
inline const QString kTitleNames = QStringLiteral("文件名带章节标题(&T)");
inline const QString kToUtf8 = QStringLiteral("输出为 UTF-8(&U)");
// The encoding the book is read in, a choice in the same menu.
inline const QString kEncodingMenu = QStringLiteral("读取编码(&E)");
inline const QString kEncodingAuto = QStringLiteral("自动识别");
inline const QString kEncodingGbk = QStringLiteral("GBK（简体中文）");
inline const QString kEncodingBig5 = QStringLiteral("Big5（繁体中文）");
inline const QString kEncodingUtf8 = QStringLiteral("UTF-8");
inline const QString kEncodingUtf16Le = QStringLiteral("UTF-16 LE");
inline const QString kEncodingUtf16Be = QStringLiteral("UTF-16 BE");
// The words beside the number boxes in each way.
inline const QString kLabel4AtChapters = QStringLiteral("KB，在章节处分开");
inline const QString kLabel4MaxSize = QStringLiteral("KB以内为一个文件");
inline const QString kLabel7PerPart = QStringLiteral("每个文件含");
inline const QString kLabel6Chapters = QStringLiteral("章");
inline const QString kLabel6Volumes = QStringLiteral("卷");
inline const QString kNoChapters =
    QStringLiteral("没有找到章节标题（例如“第一章”），不能按章节分割。");
inline const QString kNoVolumes = QStringLiteral("没有找到卷标题（例如“第一卷”），不能按卷分割。");
// After the chosen file's name, whatever changes the parts, first, so that
// it stays in sight when the line is too long for the window and the rest
// gives way; then what its chapters make:
// （去掉 3 章，文件名带标题；找到 542 章，将分成 55 个文件）.
inline QString preview(const QStringList& about, const QStringList& choices) {
    if (about.isEmpty() && choices.isEmpty()) return {};
    QString inside = choices.join(QStringLiteral("，"));
    if (!about.isEmpty()) {
        if (!inside.isEmpty()) inside += QStringLiteral("；");
        inside += about.join(QStringLiteral("，"));
    }
    return QStringLiteral("（%1）").arg(inside);
}
// While a large book's chapters are looked for: how far the look has come.
inline QString scanningChapters(int percent) {
    return QStringLiteral("正在查找章节…… %1%").arg(percent);
}
inline QString chaptersFound(qulonglong chapters) {
    return QStringLiteral("找到 %1 章，右键可按章节分割").arg(chapters);
}
inline QString chaptersMakeParts(qulonglong chapters, qulonglong parts) {
    return QStringLiteral("找到 %1 章，将分成 %2 个文件").arg(chapters).arg(parts);
}
// In a way that cuts at chapters, while its number isn't one it can take.
inline QString chaptersWantChapterCount(qulonglong chapters) {
    return QStringLiteral("找到 %1 章，请输入每个文件的章数").arg(chapters);
}
inline QString chaptersWantVolumeCount(qulonglong chapters) {
    return QStringLiteral("找到 %1 章，请输入每个文件的卷数").arg(chapters);
}
inline QString chaptersWantSize(qulonglong chapters) {
    return QStringLiteral("找到 %1 章，请输入每个文件的大小").arg(chapters);
}
inline const QString kNoHeadingsFound = QStringLiteral("没有找到章节标题");
// The encoding the book was read in, where it isn't GBK.
inline const QString kReadAsBig5 = QStringLiteral("Big5 繁体");
inline const QString kReadAsUtf8 = QStringLiteral("UTF-8");
inline const QString kReadAsUtf16Le = QStringLiteral("UTF-16 LE");
inline const QString kReadAsUtf16Be = QStringLiteral("UTF-16 BE");
inline const QString kNoVolumesFound = QStringLiteral("没有找到卷标题");
// The choices that change the parts.
inline const QString kChoicePad = QStringLiteral("编号补零");
inline const QString kChoiceTitleNames = QStringLiteral("文件名带标题");
inline const QString kChoiceUtf8 = QStringLiteral("输出为 UTF-8");
inline QString choiceTakenOut(qulonglong chapters) {
    return QStringLiteral("去掉 %1 章").arg(chapters);
}
inline QString choiceBroughtIn(qulonglong chapters) {
    return QStringLiteral("加入 %1 章").arg(chapters);
}
inline QString choiceHeadingForm(const QString& form) {
    return QStringLiteral("标题格式“%1”").arg(form);
}
inline const QString kNoHeadingsBackToSize =
    QStringLiteral("（没有找到章节标题，已改为按大小分割）");
inline const QString kNoVolumesBackToSize = QStringLiteral("（没有找到卷标题，已改为按大小分割）");
inline const QString kCannotReadChapters = QStringLiteral("无法读取这个文件");
// The list of chapters found.
inline QString chapterListTitle(const QString& fileTitle) {
    return fileTitle.isEmpty() ? QStringLiteral("找到的章节")
                               : QStringLiteral("找到的章节 - %1").arg(fileTitle);
}
inline const QString kChapterLineColumn = QStringLiteral("行");
inline const QString kChapterPartColumn = QStringLiteral("文件");
inline const QString kChapterLevelColumn = QStringLiteral("级别");
inline const QString kChapterSizeColumn = QStringLiteral("大小");
inline const QString kChapterHeadingColumn = QStringLiteral("章节标题");
inline const QString kClose = QStringLiteral("关闭");
// The chapters the split cuts at, of those found (the reader's ticks).
inline QString chapterTotal(qulonglong chapters, qulonglong found) {
    return chapters == found ? QStringLiteral("共 %1 章").arg(chapters)
                             : QStringLiteral("共 %1 章（找到 %2 章）").arg(chapters).arg(found);
}
inline const QString kPassedOverTip = QStringLiteral("没有算作章节（理由见“级别”）；勾选后从这一行分开");
inline const QString kTickChosen = QStringLiteral("勾选(&T)");
inline const QString kUntickChosen = QStringLiteral("取消勾选(&U)");
// The reader's own form of heading, the window's counterpart of --heading.
inline const QString kHeadingFormLabel = QStringLiteral("标题格式(&F)：");
inline const QString kHeadingFormHint = QStringLiteral("如 第*章 或 *、，* 代表任意文字；留空按内置规则");
inline const QString kHeadingFormWrong = QStringLiteral("这个标题格式无法使用：");
inline const QString kHeadingFormScanning = QStringLiteral("正在按标题格式查找……");
inline const QString kNoHeadingsInList = QStringLiteral("没有找到章节标题（例如“第一章”）。");
inline const QString kCannotReadForList = QStringLiteral("无法读取这个文件，找不到章节。");

// The save-folder picker.
inline const QString kForm2Title = QStringLiteral("选择保存路径");
inline const QString kPickerLabel1 = QStringLiteral("路径:");
inline const QString kPickerText1 = QStringLiteral("Text1");
inline const QString kPickerCommand1 = QStringLiteral("确定");

// Message boxes.
inline const QString kMessageTitle = QStringLiteral("提示");

}  // namespace WindowTexts
