// How the files of a run are named: the parts, the hidden names they are
// written under until complete, and the rules for base names and folders
// that the window and the command line share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tovane {

// How the parts of a run are named: the base name, "_", the number (padded
// with zeros to `width` digits; 0: as it is, the window's own form) and,
// when titled, a blank and the title of the part's first chapter; ".txt".
struct PartNaming {
    std::size_t width = 0;
    bool titled = false;
    std::string fileName(std::string_view baseName, std::uint64_t number,
                         std::string_view title = {}) const;
};

// The save folder (a literal prefix), the base name, "_", the number, ".txt".
std::string partPath(std::string_view saveFolder, std::string_view baseName, std::uint64_t number);
// Whether the folder entry `entry` is the name of a part of `baseName` (as
// the system compares names) of any naming, and of which number.
bool parsePartName(std::string_view entry, std::string_view baseName, std::uint64_t& number);

// A heading's words (UTF-8) made fit for a file name on every system a part
// may go to (FAT cards too): decoration left off, the characters Windows
// refuses in a name (\ / : * ? " < > |) in their full-width forms, control
// characters and runs of blanks a single blank, no blank or dot at the end,
// at most `most` characters.
std::string titleForName(std::string_view heading, std::size_t most = 40);
// `title` (UTF-8) less its last character, and the blanks and dots that end
// it then.
std::string shortenedTitle(std::string_view title);

// A base name makes plain file names in the save folder: no folder separator
// and no NUL in it, and neither "." nor "..", which would make hidden names
// (".._1.txt"). The empty name is allowed (its parts are "_1.txt", …).
bool isPlainFileName(std::string_view name);

// The name of the file at the end of `path`.
std::string_view fileNameOf(std::string_view path);
// The base name Browse takes from a file name: the part before its last ".",
// or the whole name when it has no dot.
std::string_view baseNameOf(std::string_view fileName);
// The folder part of `path`, with its trailing separator; empty for a bare name.
std::string_view folderOf(std::string_view path);
// `folder` ending in exactly one separator, as a save folder is used.
std::string withTrailingSeparator(std::string folder);

// The hidden name a part is written under until it is complete, in the same
// folder: "." + its final name + ".tovane-" + a token of kTokenLength
// characters from [0-9a-z] that keeps it apart from the hidden names of other
// parts. The tag is ours alone: an editor's ".novel_1.txt.swp" or a user's
// ".novel_1.txt.backup" never has it.
inline constexpr std::size_t kTokenLength = 6;
std::string temporaryPartName(std::string_view finalName, std::string_view token);
// Whether `entry` is the hidden name of a part of `baseName`, of this run or
// of an earlier one, and nothing else: not the run lock of any base name.
bool isTemporaryPartName(std::string_view entry, std::string_view baseName);
// The part name inside such a hidden name.
std::string_view partNameInHidden(std::string_view hidden);

}  // namespace tovane
