// SPDX-License-Identifier: MIT
#include "system_help_file.h"

#include <algorithm>
#include <limits>

namespace korva::platform {

namespace {

// No byte at or beyond this offset is ever shown: offsets are 32-bit.
constexpr std::uint64_t kOffsetLimit = std::numeric_limits<std::uint32_t>::max();

} // namespace

bool SystemHelpFile::Open(const std::string &path)
{
    Close();
    openFailure_.clear();
    if (!file_.Open(path, &openFailure_)) {
        return false;
    }
    path_ = path;
    noted_ = file_.Identity();
    return true;
}

std::unique_ptr<HelpFile> SystemHelpFile::OpenAnother()
{
    auto another = std::make_unique<SystemHelpFile>();
    if (!file_.IsOpen() || !another->Open(path_)) {
        return nullptr;
    }
    another->noted_ = noted_; // the content this reader knows: a file replaced since is changed for both
    return another;
}

void SystemHelpFile::Close()
{
    file_.Close();
    path_.clear();
    position_ = 0;
    DropReadAhead();
}

void SystemHelpFile::DropReadAhead()
{
    readAhead_.clear();
    readAheadStart_ = 0;
}

void SystemHelpFile::Seek(std::uint32_t offset)
{
    position_ = offset;
    // A position outside the block is read afresh anyway; one inside is read from the block only while the file is
    // the one the block was read from.
    const bool inBlock = offset >= readAheadStart_ && offset - readAheadStart_ < readAhead_.size();
    if (inBlock && file_.Identity() != readAheadIdentity_) {
        DropReadAhead();
    }
}

void SystemHelpFile::SeekBack(std::uint32_t count)
{
    position_ = count < position_ ? position_ - count : 0; // a continuation: the read-ahead block stays
}

std::uint32_t SystemHelpFile::Read(std::span<char> buffer)
{
    const std::span<const char> view =
        ReadView(static_cast<std::uint32_t>(std::min<std::size_t>(buffer.size(), kOffsetLimit)));
    std::copy(view.begin(), view.end(), buffer.begin());
    return static_cast<std::uint32_t>(view.size());
}

std::span<const char> SystemHelpFile::ReadView(std::uint32_t count)
{
    if (!file_.IsOpen()) {
        return {};
    }
    const std::uint64_t room = kOffsetLimit - position_;
    const std::size_t wanted = count < room ? count : static_cast<std::size_t>(room);

    const std::uint64_t readAheadEnd = std::uint64_t{readAheadStart_} + readAhead_.size();
    if (position_ < readAheadStart_ || position_ + std::uint64_t{wanted} > readAheadEnd) {
        // Refill the block from the position; a block that ends short marks the end of the file.
        const bool goesOn = !readAhead_.empty() && position_ >= readAheadStart_ && position_ <= readAheadEnd;
        const std::size_t ahead = goesOn ? kReadAhead : kLookupReadAhead;
        readAheadIdentity_ = file_.Identity();
        readAhead_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(std::max(ahead, wanted), room)));
        readAhead_.resize(file_.ReadAt(position_, readAhead_));
        readAheadStart_ = position_;
    }
    const std::size_t from = position_ - readAheadStart_;
    const std::size_t got = std::min(wanted, readAhead_.size() - from);
    position_ += static_cast<std::uint32_t>(got);
    return std::span<const char>(readAhead_.data() + from, got);
}

std::uint32_t SystemHelpFile::Length() const
{
    return static_cast<std::uint32_t>(std::min(file_.Identity().size, kOffsetLimit));
}

void SystemHelpFile::NoteContent()
{
    noted_ = file_.Identity();
}

bool SystemHelpFile::ContentChanged()
{
    if (!file_.IsOpen()) {
        return false;
    }
    // A file saved by writing a new one and renaming it over the old: the path now names the new file.
    const auto named = SystemFile::IdentityOf(path_);
    const FileIdentity open = file_.Identity();
    if (named && !named->SameFile(open)) {
        SystemFile replacement;
        if (replacement.Open(path_)) {
            file_ = std::move(replacement);
            DropReadAhead();
            return true;
        }
    }
    if (open != noted_) {
        DropReadAhead();
        return true;
    }
    return false;
}

} // namespace korva::platform
