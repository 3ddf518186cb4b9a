// SPDX-License-Identifier: MIT
// The data file on disk, for the window and the tools.
#pragma once

#include "platform.h"
#include "system_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korva::platform {

// Reads are served from a read-ahead block of kReadAhead bytes, so that the readers' 2000-byte chunks cost one
// system call per block rather than one per chunk. A reader starts each read of the file with Seek, and continues
// it with sequential reads and SeekBack; Seek drops the read-ahead block when the file changed since it was read, so no
// reader ever starts on bytes older than the file.
class SystemHelpFile final : public HelpFile
{
public:
    bool Open(const std::string &path) override;
    void Close() override;
    bool IsOpen() const { return file_.IsOpen(); }
    void Seek(std::uint32_t offset) override;
    void SeekBack(std::uint32_t count) override;
    std::uint32_t Read(std::span<char> buffer) override;
    std::span<const char> ReadView(std::uint32_t count) override;
    std::uint32_t Position() const override { return position_; }
    std::uint32_t Length() const override;
    std::unique_ptr<HelpFile> OpenAnother() override;
    void NoteContent() override;
    bool ContentChanged() override;

    // Why the last Open failed ("No such file or directory", "is a folder"...).
    const std::string &OpenFailure() const { return openFailure_; }

    static constexpr std::size_t kReadAhead = std::size_t{64} * 1024;
    // A read that does not go on from the block before (an entry looked up, a result's description) reads this much
    // ahead: most of a large block would go unread.
    static constexpr std::size_t kLookupReadAhead = std::size_t{4} * 1024;

private:
    void DropReadAhead();

    SystemFile file_;
    std::string path_;
    std::string openFailure_;
    std::uint32_t position_ = 0;
    // The read-ahead block: bytes [readAheadStart_, readAheadStart_ + readAhead_.size()) of the file as it was when
    // read.
    std::vector<char> readAhead_;
    std::uint32_t readAheadStart_ = 0;
    FileIdentity readAheadIdentity_;
    // The file as the readers know it (NoteContent).
    FileIdentity noted_;
};

} // namespace korva::platform
