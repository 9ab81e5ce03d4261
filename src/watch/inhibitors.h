#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace vistaloom {

// The requests that hold the saver off (a video playing, a presentation): each has a cookie
// for its release and the bus name of the program that made it, so that a program which
// leaves the bus without releasing does not hold the saver off for ever.
class Inhibitors {
  public:
    // So many requests at most; a program that asks for more is refused (cookie 0), which
    // keeps one misbehaving client from growing the watcher without bound.
    static constexpr std::size_t kMaxRequests = 512;

    // The cookie of the new request, never 0; 0 when it is refused.
    uint32_t add(const std::string& owner, const std::string& application,
                 const std::string& reason);
    // Releases the request with this cookie when `owner` made it; false otherwise.
    bool remove(uint32_t cookie, const std::string& owner);
    // Releases every request `owner` made; the number released.
    std::size_t remove_owner(const std::string& owner);

    bool any() const { return !requests_.empty(); }
    std::size_t size() const { return requests_.size(); }
    // Whether any request is still held by `owner`.
    bool holds(const std::string& owner) const;

  private:
    struct Request {
        std::string owner;
        std::string application;
        std::string reason;
    };
    std::map<uint32_t, Request> requests_;
    uint32_t last_cookie_ = 0;
};

}  // namespace vistaloom
