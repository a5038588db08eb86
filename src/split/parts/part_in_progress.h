// The hidden file of the part being written, known to the whole process, so
// that a program told to end at once (a second Ctrl+C) can remove it from a
// signal handler before it goes; and whether complete parts still wait for
// their names, which such a handler must leave to the run (naming follows
// making them durable, and the list of them is being changed) rather than
// end the program and leave them hidden. One slot: tovane-split runs one split.
#pragma once

#include <string>

namespace tovane::PartInProgress {

void set(const std::string& path);
void clear();
// The path, or nullptr when no part is being written. Safe in a signal
// handler: it reads a buffer that set() never writes while it is shown.
const char* path();

// Complete parts are waiting to be named, or one is being completed.
void setFinishedWaiting(bool waiting);
bool finishedWaiting();  // safe in a signal handler

}  // namespace tovane::PartInProgress
