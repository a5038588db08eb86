// Why the engine could not do what it was asked, as it knows it: what went
// wrong and the file, line or number it concerns. The engine says no more;
// the words a user reads are made from it at the edge (split_texts.h), in
// one place for the command line and the windows.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace tovane {

struct Problem {
    enum class Kind : std::uint8_t {
        None,
        // The checks before a run.
        SourceMissing,
        SaveFolderMissing,
        BadSize,
        BadCount,
        BadChapters,
        BadVolumes,
        BaseNameNotPlain,  // `path`: the base name
        CapTooSmall,       // `count`: the smallest cap, in bytes
        // The chapters.
        NoHeadings,
        NoVolumes,
        TooManyHeadings,
        // Files and folders: `path`, and `error` (an errno value) where the system gave one.
        CannotRead,
        CannotCreate,
        CannotWrite,
        CannotWriteFolder,
        PartIsSource,
        SourceIsLock,
        AnotherRunWrites,  // `path`: the base name
        SourceChanged,
        // Parts in UTF-8: the line and file offset of the first byte that
        // doesn't convert; or, met while a part was written, that part.
        Unconvertible,
        CannotConvert,
        // Not a failure: after a run, parts an earlier one left (`path`: the
        // first of them, `count`: how many).
        PartsLeftFromBefore,
        OutOfMemory,
    };

    Kind kind = Kind::None;
    std::string path;
    int error = 0;
    std::uint64_t line = 0;
    std::uint64_t offset = 0;
    std::uint64_t count = 0;

    explicit operator bool() const { return kind != Kind::None; }
    bool operator==(const Problem&) const = default;
    // The request can't be carried out as asked, whatever the files hold:
    // the command line calls it wrong usage.
    bool usage() const { return kind == Kind::BaseNameNotPlain || kind == Kind::CapTooSmall; }

    static Problem of(Kind kind) { return {kind, {}, 0, 0, 0, 0}; }
    static Problem about(Kind kind, std::string path, int error = 0) {
        return {kind, std::move(path), error, 0, 0, 0};
    }
    static Problem unconvertible(std::uint64_t line, std::uint64_t offset) {
        return {Kind::Unconvertible, {}, 0, line, offset, 0};
    }
    static Problem capTooSmall(std::uint64_t smallestBytes) {
        return {Kind::CapTooSmall, {}, 0, 0, 0, smallestBytes};
    }
    static Problem partsLeftFromBefore(std::string firstName, std::uint64_t count) {
        return {Kind::PartsLeftFromBefore, std::move(firstName), 0, 0, 0, count};
    }
};

}  // namespace tovane
