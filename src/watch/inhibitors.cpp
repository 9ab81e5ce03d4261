#include "watch/inhibitors.h"

#include <algorithm>

namespace vistaloom {

uint32_t Inhibitors::add(const std::string& owner, const std::string& application,
                         const std::string& reason) {
    if (requests_.size() >= kMaxRequests) return 0;
    // Cookies count up and skip 0 and any still in use, so a release with an old cookie
    // never frees a newer request after the count wraps.
    do {
        ++last_cookie_;
    } while (last_cookie_ == 0 || requests_.count(last_cookie_) != 0);
    requests_.emplace(last_cookie_, Request{owner, application, reason});
    return last_cookie_;
}

bool Inhibitors::remove(uint32_t cookie, const std::string& owner) {
    const auto found = requests_.find(cookie);
    if (found == requests_.end() || found->second.owner != owner) return false;
    requests_.erase(found);
    return true;
}

std::size_t Inhibitors::remove_owner(const std::string& owner) {
    return std::erase_if(requests_, [&](const auto& entry) { return entry.second.owner == owner; });
}

bool Inhibitors::holds(const std::string& owner) const {
    return std::any_of(requests_.begin(), requests_.end(),
                       [&](const auto& entry) { return entry.second.owner == owner; });
}

}  // namespace vistaloom
