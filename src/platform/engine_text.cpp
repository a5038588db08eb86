#include "platform/engine_text.h"

#include <QFile>

namespace EngineText {

std::string fromQt(const QString& text) {
#ifdef Q_OS_WIN
    return text.toStdString();  // the engine's Win32 side takes UTF-8
#else
    return QFile::encodeName(text).toStdString();
#endif
}

QString toQt(std::string_view text) {
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
#ifdef Q_OS_WIN
    return QString::fromUtf8(bytes);
#else
    return QFile::decodeName(bytes);
#endif
}

QString wordsToQt(std::string_view words) {
    return QString::fromUtf8(words.data(), static_cast<qsizetype>(words.size()));
}

}  // namespace EngineText
