#include "split/io/run_lock.h"

namespace tovane {

RunLock::~RunLock() {
    release();
}

std::string RunLock::fileName(const std::string& baseName) {
    return "." + baseName + ".tovane-lock";
}

}  // namespace tovane
