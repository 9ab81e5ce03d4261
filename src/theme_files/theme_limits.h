#pragma once
#include <cstddef>
#include <cstdint>
#include <limits>

namespace vistaloom {

// The limits of a theme, shared by everything that reads or writes one: the reader, the
// packer, making a theme from photos and unpacking. A writer that allowed more than the
// reader takes would make themes nobody can open, so every writer checks against these.

// More items than any theme carries (two pictures and the music). A larger count marks a
// broken or hostile file and fails the read before anything is allocated for it.
inline constexpr int32_t kMaxThemeItems = 100000;

// The longest field of an information file the reader takes; longer ones only come from
// broken or hostile files and fail the read instead of growing without bound.
inline constexpr size_t kMaxInfoFieldBytes = 65536;

// Items' offsets and sizes are 32-bit signed numbers, so the container holds at most this.
inline constexpr int64_t kMaxThemeBytes = std::numeric_limits<int32_t>::max();

// The staging name a file is written under before it is renamed into place adds
// ".part-" and a 16-digit process token (22 bytes), and two items of one name get "-2",
// "-3", ... (at most 7 bytes); with these a name always fits the 255 bytes of a file name.
inline constexpr size_t kStagingSuffixBytes = 22;
inline constexpr size_t kMaxFileNameBytes = 255;
// A theme's name: its two files with the staging suffix after ".img".
inline constexpr size_t kMaxThemeNameBytes = 200;
// An item's stored name, as the packer stores it and as unpacking writes it out.
inline constexpr size_t kMaxItemNameBytes = 200;

static_assert(kMaxThemeNameBytes + 4 + kStagingSuffixBytes <= kMaxFileNameBytes);
static_assert(kMaxItemNameBytes + 7 + kStagingSuffixBytes <= kMaxFileNameBytes);
static_assert(kMaxItemNameBytes + 2 <= kMaxInfoFieldBytes, "a quoted name is one field");

}  // namespace vistaloom
