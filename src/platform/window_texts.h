// Every text the two windows show, in one place. The split's own texts (its
// messages, the status line during and after a run) are the engine's, in
// split/split_texts.h.
#pragma once

#include <QString>
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

// The save-folder picker.
inline const QString kForm2Title = QStringLiteral("选择保存路径");
inline const QString kPickerLabel1 = QStringLiteral("路径:");
inline const QString kPickerText1 = QStringLiteral("Text1");
inline const QString kPickerCommand1 = QStringLiteral("确定");

// Message boxes.
inline const QString kMessageTitle = QStringLiteral("提示");

}  // namespace WindowTexts
