// Why the engine could not do what it was asked, as it knows it: what went
// wrong and the file, line or number it concerns. The engine says no more;
// the words a user reads are made from it at the edge (split_texts.h), in
// one place for the command line and the windows.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "split/text/codec.h"

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
        // The file opens with the byte-order mark of `marked`, not of `asked`.
        MarkContradictsEncoding,
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
    Encoding marked = Encoding::Gbk;
    Encoding asked = Encoding::Gbk;

    explicit operator bool() const { return kind != Kind::None; }
    bool operator==(const Problem&) const = default;
    // The request can't be carried out as asked: the command line calls it
    // wrong usage (a number a way can't take, a name, a cap, an encoding).
    bool usage() const {
        switch (kind) {
            case Kind::BadSize:
            case Kind::BadCount:
            case Kind::BadChapters:
            case Kind::BadVolumes:
            case Kind::BaseNameNotPlain:
            case Kind::CapTooSmall:
            case Kind::MarkContradictsEncoding:
                return true;
            default:
                return false;
        }
    }

    static Problem of(Kind kind) {
        Problem problem;
        problem.kind = kind;
        return problem;
    }
    static Problem about(Kind kind, std::string path, int error = 0) {
        Problem problem = of(kind);
        problem.path = std::move(path);
        problem.error = error;
        return problem;
    }
    static Problem unconvertible(std::uint64_t line, std::uint64_t offset) {
        Problem problem = of(Kind::Unconvertible);
        problem.line = line;
        problem.offset = offset;
        return problem;
    }
    static Problem capTooSmall(std::uint64_t smallestBytes) {
        Problem problem = of(Kind::CapTooSmall);
        problem.count = smallestBytes;
        return problem;
    }
    static Problem partsLeftFromBefore(std::string firstName, std::uint64_t count) {
        Problem problem = about(Kind::PartsLeftFromBefore, std::move(firstName));
        problem.count = count;
        return problem;
    }
    static Problem markContradicts(Encoding marked, Encoding asked) {
        Problem problem = of(Kind::MarkContradictsEncoding);
        problem.marked = marked;
        problem.asked = asked;
        return problem;
    }
};

}  // namespace tovane
