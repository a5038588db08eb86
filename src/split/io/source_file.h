// The source opened for reading with positioned reads, so that a line can be
// read again from its start without disturbing the sequential scan, and
// several passes (the split, its check) can read it side by side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "split/io/native_file.h"
#include "split/text/source_format.h"

namespace tovane {

class SourceFile {
public:
    // Opens a regular file; a FIFO or device is refused (EINVAL) rather than
    // waited on, and so is a file whose size reads 0 while it holds bytes
    // (kErrorSizeUnknown: /proc/cpuinfo), since every rule needs the size.
    // Returns false with error() set.
    bool open(const std::string& path);
    void close() { file_.close(); }
    bool isOpen() const { return file_.isOpen(); }

    // Reads up to `size` bytes at `offset`, fewer only at the end of the file.
    // Returns the count, or -1 with error() set.
    std::int64_t readAt(std::uint64_t offset, char* buffer, std::size_t size) {
        return file_.readAt(offset, buffer, size);
    }

    std::uint64_t size() const { return opened_.size; }
    // The file's size and modification time when it was opened.
    const FileStamp& stampAtOpen() const { return opened_; }
    // The file's format, from the bytes that tell it (see detectFormat), or
    // as asked, told at the first call and kept; nothing, with error() set,
    // when they can't be read.
    const std::optional<SourceFormat>& format();
    // Before format(): the encoding to read the file in rather than tell
    // it, unless a byte-order mark says another (see markContradicts()).
    void askEncoding(std::optional<Encoding> encoding) { asked_ = encoding; }
    // The file opens with the mark of another encoding than was asked.
    bool markContradicts() { return asked_ && format() && format()->encoding != *asked_; }
    const std::optional<Encoding>& askedEncoding() const { return asked_; }
    // The file itself, whatever name reaches it, so that no part replaces it.
    FileIdentity identity() const { return file_.identity(); }

    // Whether the file was written to since it was opened: its size or its
    // modification time differ from what they were then.
    bool changedSinceOpen();
    int error() const { return error_ != 0 ? error_ : file_.error(); }

private:
    NativeFile file_;
    FileStamp opened_;
    std::optional<SourceFormat> format_;
    bool formatTold_ = false;
    std::optional<Encoding> asked_;
    int error_ = 0;  // ours, where the system saw nothing wrong
};

}  // namespace tovane
