// SPDX-License-Identifier: MIT
// Back and forward through the entries shown in this session, as a browser goes through pages. An entry is told
// apart by its place in the data file, so that two commands of the same name are two entries. Nothing of it outlives
// the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korva::app {

class History
{
public:
    struct Place
    {
        std::uint32_t entryOffset;
        std::u16string name; // to find the entry again should the file have changed
        bool operator==(const Place &) const = default;
    };

    static constexpr std::size_t kCapacity = 100;

    // An entry shown by any way but going back or forward: it becomes the newest, after the one on show, and what
    // lay ahead of that is dropped. The same entry twice in a row is one visit. The oldest go beyond kCapacity.
    void Visit(const Place &place);
    // The entry before or after the one on show, which then is the one on show; nothing at either end.
    std::optional<Place> Back();
    std::optional<Place> Forward();
    // Forgets the entry the last Back or Forward went to, which cannot be found any more; the one it came from is the
    // one on show again, so that going on in the same direction passes it over.
    void DropCurrent();

    // The entry last shown or gone to, if any.
    std::optional<Place> Current() const
    {
        return visits_.empty() ? std::nullopt : std::optional<Place>(visits_[current_].place);
    }
    bool CanGoBack() const { return current_ > 0; }
    bool CanGoForward() const { return current_ + 1 < visits_.size(); }

    // How far the user scrolled the current entry, to scroll it as far on coming back to it (0 until kept).
    void KeepScroll(int scroll)
    {
        if (!visits_.empty()) {
            visits_[current_].scroll = scroll;
        }
    }
    int Scroll() const { return visits_.empty() ? 0 : visits_[current_].scroll; }

private:
    struct Visited
    {
        Place place;
        int scroll = 0;
    };
    std::vector<Visited> visits_;
    std::size_t current_ = 0; // meaningful while visits_ is not empty
    bool cameBack_ = false;   // the last move was Back
};

} // namespace korva::app
