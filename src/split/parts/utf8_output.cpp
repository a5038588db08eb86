#include "split/parts/utf8_output.h"

#include <algorithm>
#include <chrono>

namespace tovane {

namespace {

// The source's bytes staged for converting at a time.
constexpr std::size_t kScratch = std::size_t{64} << 10;

constexpr SourceFormat kUtf8WithMark{Encoding::Utf8, true};

}  // namespace

Utf8Output::Utf8Output(PartSink& sink, const SourceFormat& format,
                       std::shared_ptr<SourceFile> source, std::string path,
                       const std::atomic<bool>* stopRequested)
    : OutputStage(sink, format, kUtf8WithMark),
      source_(std::move(source)),
      path_(std::move(path)),
      stopRequested_(stopRequested),
      conversion_(format.codec()),
      scratch_(new char[kScratch]) {}

Utf8Output::~Utf8Output() {
    stopCheck_ = true;
    if (check_.valid()) check_.wait();
}

void Utf8Output::begin() {
    if (sink().counting()) return;
    sink().holdNamesUntil(
        [this](bool wait, std::size_t waiting) { return checked(wait, waiting); });
}

void Utf8Output::startCheck() {
    const SourceFormat format = OutputStage::source();
    check_ = std::async(std::launch::async, [this, format] {
        return checkConversion(source_, path_, format, &stopCheck_);
    });
}

// Every byte converted on its way into the parts clears them; so does the
// check, which starts once half as many names wait as may.
PartSink::Clearance Utf8Output::checked(bool wait, std::size_t waiting) {
    using namespace std::chrono_literals;
    if (problem_) return PartSink::Clearance::Refused;
    if (!check_.valid()) {
        if (linesEnded_) return PartSink::Clearance::Cleared;
        if (!wait && waiting < PartSink::kMostHeldBack / 2) return PartSink::Clearance::NotYet;
        startCheck();
    }
    while (check_.wait_for(wait ? 20ms : 0ms) != std::future_status::ready) {
        if (!wait) return PartSink::Clearance::NotYet;
        if (stopRequested_ != nullptr && stopRequested_->load(std::memory_order_relaxed)) {
            stopCheck_ = true;
        }
    }
    checked_ = check_.get();
    // A check cut short by a stop clears the parts made: each is whole.
    const bool cleared = checked_->result == ConversionCheck::Result::Converts ||
                         checked_->result == ConversionCheck::Result::Stopped;
    return cleared ? PartSink::Clearance::Cleared : PartSink::Clearance::Refused;
}

// Converted through the writer's own staging room, a stretch at a time; only
// measured by a sink that counts.
bool Utf8Output::write(std::string_view bytes) {
    counted(bytes.size());
    PartSink& parts = sink();
    while (!bytes.empty()) {
        PartWriter::Staging area{nullptr, bytes.size() * Utf8Conversion::kGrowth + 8};
        if (!parts.counting() && !parts.staging(area)) return false;
        const std::size_t take = std::min(bytes.size(), area.size / Utf8Conversion::kGrowth - 4);
        const std::int64_t produced = conversion_.convert(bytes.substr(0, take), area.data);
        if (produced < 0) {
            problem_ = Problem::about(Problem::Kind::CannotConvert, parts.partPath());
            return false;
        }
        const auto size = static_cast<std::size_t>(produced);
        if (!(parts.counting() ? parts.countBytes(size) : parts.writeStaged(size))) return false;
        bytes.remove_prefix(take);
    }
    return true;
}

bool Utf8Output::staging(PartWriter::Staging& area) {
    area = {scratch_.get(), kScratch};
    return true;
}

std::uint64_t Utf8Output::lengthOf(const SourceLine& line, LineReader& reader) {
    if (line.offset != measuredOffset_) {
        measuredOffset_ = line.offset;
        measuredLength_ = measure(line, reader);
    }
    // A line that doesn't convert stops the run when written; till then, its bytes.
    return measuredLength_ < 0 ? line.length : static_cast<std::uint64_t>(measuredLength_);
}

// A line in view is measured as it stands; a longer one a piece at a time.
std::int64_t Utf8Output::measure(const SourceLine& line, LineReader& reader) {
    const Codec& codec = OutputStage::source().codec();
    if (line.inView()) {
        std::size_t badAt = 0;
        return Utf8Conversion::lengthOf(codec, line.view(), badAt);
    }
    Utf8Conversion conversion(codec);
    std::int64_t length = 0;
    for (std::uint64_t done = 0; done < line.length;) {
        const std::string_view piece = reader.lineBytes(line, done, line.length - done);
        if (piece.empty()) break;  // the lines ended: the reader says why
        const std::int64_t produced = conversion.convert(piece, nullptr);
        if (produced < 0) return -1;
        length += produced;
        done += piece.size();
    }
    return conversion.heldBack() > 0 ? -1 : length;
}

// A character at a time, each measured in the bytes it converts to.
OutputStage::Fit Utf8Output::fit(const SourceLine& line, std::uint64_t from, std::uint64_t room,
                                 LineReader& reader) {
    const Codec& codec = OutputStage::source().codec();
    Fit taken;
    while (true) {
        const std::string_view bytes = reader.lineBytes(line, from + taken.source, 4096);
        if (bytes.empty()) return {};
        std::size_t at = 0;
        while (at < bytes.size()) {
            std::size_t length = 0;
            const int out = Utf8Conversion::characterAt(codec, bytes.substr(at), length);
            if (out < 0) break;  // a character the window cuts off: read on from it
            const bool last = from + taken.source + length >= line.length;
            if (last || taken.output + static_cast<std::uint64_t>(out) > room) return taken;
            taken.source += length;
            taken.output += static_cast<std::uint64_t>(out);
            at += length;
        }
        if (at == 0) return {};  // bytes that don't convert: the check refuses the book
    }
}

// A byte that didn't convert as it was written is the file's first such:
// looked for from its start, for the line to name.
Problem Utf8Output::refusal() {
    if (!sink().namesRefused()) return {};
    if (!checked_ && problem_) {
        checked_ = checkConversion(source_, path_, OutputStage::source(), nullptr);
        if (checked_->result == ConversionCheck::Result::Converts) return problem_;
    }
    if (!checked_) return {};
    if (checked_->result == ConversionCheck::Result::Unconvertible) {
        return Problem::unconvertible(checked_->line, checked_->offset);
    }
    return checked_->problem;
}

// Unless a byte that didn't convert stopped the run, a check going on is
// needed no more.
void Utf8Output::linesEnded(bool done) {
    linesEnded_ = true;
    if (!done && !problem_) stopCheck_ = true;
}

}  // namespace tovane
