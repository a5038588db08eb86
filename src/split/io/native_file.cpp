#include "split/io/native_file.h"

namespace tovane {

bool NativeFile::abandon() {
    const int error = error_;
    close();
    error_ = error;
    return false;
}

}  // namespace tovane
