#pragma once
#include <QRect>
#include <QRegion>
#include <vector>

namespace vistaloom {

// Which part of a reused buffer must be drawn again before it is shown. A buffer holds what
// was on screen when it was last sent; every frame sent from another buffer since then made
// that much of it out of date. A buffer never drawn is out of date everywhere.
class BufferDamage {
  public:
    BufferDamage(int buffers, const QRect& whole)
        : whole_(whole), stale_(static_cast<size_t>(buffers), QRegion(whole)) {}

    // Buffer `slot` is about to show `sent` (clipped to the picture): returns what to draw into
    // it, and counts `sent` as out of date in every other buffer.
    QRegion draw_for(int slot, const QRegion& sent) {
        const QRegion clipped = sent & whole_;
        const QRegion draw = clipped + stale_[static_cast<size_t>(slot)];
        for (size_t i = 0; i < stale_.size(); ++i)
            stale_[i] = i == static_cast<size_t>(slot) ? QRegion() : stale_[i] + clipped;
        return draw;
    }

    // Buffer `slot` is out of date in `region` again (it was counted as drawn too early).
    void undrawn(int slot, const QRegion& region) {
        stale_[static_cast<size_t>(slot)] += region & whole_;
    }

    // Pixels of buffer `slot` that are out of date.
    qint64 stale_pixels(int slot) const {
        qint64 n = 0;
        for (const QRect& r : stale_[static_cast<size_t>(slot)])
            n += static_cast<qint64>(r.width()) * r.height();
        return n;
    }

  private:
    QRect whole_;
    std::vector<QRegion> stale_;
};

}  // namespace vistaloom
