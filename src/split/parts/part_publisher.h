// Gives complete parts their names. A part waits under its hidden name until
// a batch of them is made durable on disk in one go; each is then renamed
// over whatever had its name, so that a name never leads to a part that is
// short or missing, also after a kill or a power cut, and nothing a name
// pointed to before is ever opened or written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "split/io/native_file.h"
#include "split/problem.h"

namespace tovane {

class PartPublisher {
public:
    // `source` is never given up: a part whose name leads to it is refused.
    explicit PartPublisher(FileIdentity source) : source_(source) {}
    ~PartPublisher();
    PartPublisher(const PartPublisher&) = delete;
    PartPublisher& operator=(const PartPublisher&) = delete;

    // Why a part can't take its name before anything is written to it: a
    // folder has the name, or it leads to the source. None when it can.
    Problem refusal(const std::string& path) const;

    // A complete part, written under `temporaryPath`, waiting for `path`;
    // `wasFree`: nothing had that name when the run began.
    void add(std::string temporaryPath, std::string path, std::uint64_t bytes, bool wasFree);
    // Enough parts are waiting that they should be named now.
    bool due() const;
    std::size_t waiting() const { return waiting_.size(); }
    // Names the waiting parts, in order. At the first that can't be named,
    // removes it and every one after it, and returns false with problem().
    bool publish();

    // Removes every waiting part: none of them is to be named.
    void abandonAll() { abandon(0); }
    // Removes the `count` parts added last, which turned out not to be complete.
    void dropLast(std::size_t count);

    std::uint64_t published() const { return published_; }
    const Problem& problem() const { return problem_; }

private:
    struct Waiting {
        std::string temporaryPath;
        std::string path;
        bool wasFree;
    };
    Problem name(const Waiting& part) const;
    void abandon(std::size_t from);

    FileIdentity source_;
    std::vector<Waiting> waiting_;
    std::uint64_t waitingBytes_ = 0;
    std::uint64_t published_ = 0;
    Problem problem_;
};

}  // namespace tovane
