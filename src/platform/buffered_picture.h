#pragma once
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/buffer_damage.h"

namespace vistaloom {

// Copies `area` of a picture whose top-left pixel is at `origin` (both device pixels of the
// target) into the target, row by row.
void copy_picture_rows(uint32_t* target, int target_stride, const uint32_t* source,
                       int source_stride, const QPoint& origin, const QRect& area);

// A picture drawn straight into the buffers a compositor reads, always in one it is not
// holding. Once a buffer is sent the picture moves on to a free one, which lacks whatever was
// sent since that buffer's last turn. Those pixels are taken from the buffer just sent, which
// stays untouched while the compositor holds it, but only when the picture is complete
// again (before it is sent or read): most of them the next frame draws anyway, and copying
// them first would write them twice.
class BufferedPicture {
  public:
    // `pixels` of equal buffers of `size` (rows of size.width()); the caller draws the whole
    // picture into buffer `first`, and every other buffer is out of date.
    void start(std::vector<uint32_t*> pixels, QSize size, int first);
    void stop();
    bool started() const { return drawing_ >= 0; }
    int drawing() const { return drawing_; }
    uint32_t* pixels() const { return started() ? pixels_[static_cast<size_t>(drawing_)] : nullptr; }

    // The picture was drawn in `region` since the last call.
    void drawn(const QRegion& region);
    // The buffer the picture is in holds the whole of it from here on.
    void complete();
    // The picture's buffer is sent, with `sent` changed since the one sent before it.
    void sent(const QRegion& sent);
    // Moves the picture into the free buffer that lacks least (`busy` says which are held);
    // false, and the picture stays, when every buffer is held.
    bool move(const std::function<bool(int)>& busy);
    // A buffer came free: while nothing is drawn since the move, the picture moves on into it
    // if it lacks less (a compositor may give back the buffer shown before only after the next
    // commit, when the picture has moved on already). True when the picture moved.
    bool choose_again(const std::function<bool(int)>& busy);

  private:
    // Of the buffers `busy` does not name, the one out of date in the fewest pixels; -1.
    int least_behind(const std::function<bool(int)>& busy) const;

    std::vector<uint32_t*> pixels_;
    QSize size_;
    std::optional<BufferDamage> damage_;
    int drawing_ = -1;
    int behind_from_ = -1;  // the buffer sent last, which holds the whole picture
    QRegion behind_;        // what the picture's buffer lacks of it
    QRegion drawn_;         // drawn since the picture moved
    bool untouched_ = false;  // nothing drawn or completed since the move
};

}  // namespace vistaloom
