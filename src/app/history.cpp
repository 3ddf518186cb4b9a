// SPDX-License-Identifier: MIT
#include "history.h"

namespace korva::app {

void History::Visit(const Place &place)
{
    if (!visits_.empty()) {
        if (visits_[current_].place == place) {
            return;
        }
        visits_.resize(current_ + 1);
    }
    visits_.push_back({place});
    if (visits_.size() > kCapacity) {
        visits_.erase(visits_.begin());
    }
    current_ = visits_.size() - 1;
}

std::optional<History::Place> History::Back()
{
    if (!CanGoBack()) {
        return std::nullopt;
    }
    cameBack_ = true;
    return visits_[--current_].place;
}

std::optional<History::Place> History::Forward()
{
    if (!CanGoForward()) {
        return std::nullopt;
    }
    cameBack_ = false;
    return visits_[++current_].place;
}

void History::DropCurrent()
{
    if (visits_.empty()) {
        return;
    }
    visits_.erase(visits_.begin() + static_cast<std::ptrdiff_t>(current_));
    // Going back, the entry it came from has moved into its place; going forward, it stands just before.
    if ((!cameBack_ || current_ >= visits_.size()) && current_ > 0) {
        --current_;
    }
}

} // namespace korva::app
