// SPDX-License-Identifier: MIT
#include "history.h"

namespace korva::app {

void History::Visit(const Place &place)
{
    if (!places_.empty()) {
        if (places_[current_] == place) {
            return;
        }
        places_.resize(current_ + 1);
    }
    places_.push_back(place);
    if (places_.size() > kCapacity) {
        places_.erase(places_.begin());
    }
    current_ = places_.size() - 1;
}

std::optional<History::Place> History::Back()
{
    if (!CanGoBack()) {
        return std::nullopt;
    }
    cameBack_ = true;
    return places_[--current_];
}

std::optional<History::Place> History::Forward()
{
    if (!CanGoForward()) {
        return std::nullopt;
    }
    cameBack_ = false;
    return places_[++current_];
}

void History::DropCurrent()
{
    if (places_.empty()) {
        return;
    }
    places_.erase(places_.begin() + static_cast<std::ptrdiff_t>(current_));
    // Going back, the entry it came from has moved into its place; going forward, it stands just before.
    if ((!cameBack_ || current_ >= places_.size()) && current_ > 0) {
        --current_;
    }
}

} // namespace korva::app
