// The hidden file of the part being written, known to the whole process, so
// that a program told to end at once (a second Ctrl+C) can remove it from a
// signal handler before it goes. One slot: tovane-split runs one split.
#pragma once

#include <string>

namespace tovane::PartInProgress {

void set(const std::string& path);
void clear();
// The path, or nullptr when no part is being written. Safe in a signal
// handler: it reads a buffer that set() never writes while it is shown.
const char* path();

}  // namespace tovane::PartInProgress
