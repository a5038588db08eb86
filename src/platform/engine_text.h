// Texts crossing between the windows and the split engine: the engine takes
// paths and names as UTF-8 bytes on every system (and on Linux a file name's
// own bytes, whatever they are), Qt holds them as QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace EngineText {

std::string fromQt(const QString& text);
QString toQt(std::string_view text);
// The engine's own words (messages, labels, headings): UTF-8 on every
// system, unlike a Linux file name.
QString wordsToQt(std::string_view words);

}  // namespace EngineText
