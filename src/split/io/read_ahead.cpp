#include "split/io/read_ahead.h"

namespace tovane {

ReadAhead::ReadAhead(SourceFile& source, Check check)
    : source_(source), check_(std::move(check)), task_([this] {
          got_ = source_.readAt(offset_, into_, size_);
          passed_ = got_ > 0 && check_({into_, static_cast<std::size_t>(got_)});
      }) {}

void ReadAhead::start(std::uint64_t offset, char* into, std::size_t size) {
    task_.wait();
    offset_ = offset;
    into_ = into;
    size_ = size;
    task_.start();
}

std::int64_t ReadAhead::wait() {
    task_.wait();
    return got_;
}

}  // namespace tovane
