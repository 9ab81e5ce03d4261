#include "platform/buffered_picture.h"

#include <cstring>

namespace vistaloom {

void copy_picture_rows(uint32_t* target, int target_stride, const uint32_t* source,
                       int source_stride, const QPoint& origin, const QRect& area) {
    const size_t bytes = static_cast<size_t>(area.width()) * sizeof(uint32_t);
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memcpy(target + static_cast<size_t>(y) * target_stride + area.left(),
                    source + static_cast<size_t>(y - origin.y()) * source_stride +
                        (area.left() - origin.x()),
                    bytes);
}

void BufferedPicture::start(std::vector<uint32_t*> pixels, QSize size, int first) {
    pixels_ = std::move(pixels);
    size_ = size;
    damage_.emplace(static_cast<int>(pixels_.size()), QRect(QPoint(0, 0), size));
    drawing_ = first;
    // The caller draws all of it; only the other buffers are out of date.
    damage_->draw_for(first, QRegion());
    behind_from_ = -1;
    behind_ = drawn_ = QRegion();
}

void BufferedPicture::stop() {
    drawing_ = behind_from_ = -1;
    behind_ = drawn_ = QRegion();
}

void BufferedPicture::drawn(const QRegion& region) {
    if (region.isEmpty()) return;
    untouched_ = false;
    if (!behind_.isEmpty()) drawn_ += region;
}

void BufferedPicture::complete() {
    untouched_ = false;
    if (!started() || behind_.isEmpty()) return;
    const int stride = size_.width();
    const uint32_t* from = pixels_[static_cast<size_t>(behind_from_)];
    for (const QRect& r : behind_ - drawn_)
        copy_picture_rows(pixels(), stride, from, stride, QPoint(0, 0), r);
    behind_ = drawn_ = QRegion();
}

void BufferedPicture::sent(const QRegion& sent) {
    complete();
    damage_->draw_for(drawing_, sent);
}

bool BufferedPicture::move(const std::function<bool(int)>& busy) {
    if (!started()) return false;
    complete();
    const int next = least_behind(busy);
    if (next < 0) return false;
    if (next == drawing_) return true;
    behind_ = damage_->draw_for(next, QRegion());
    behind_from_ = drawing_;
    drawn_ = QRegion();
    drawing_ = next;
    untouched_ = true;
    return true;
}

int BufferedPicture::least_behind(const std::function<bool(int)>& busy) const {
    int best = -1;
    for (int i = 0; i < static_cast<int>(pixels_.size()); ++i)
        if (!busy(i) && (best < 0 || damage_->stale_pixels(i) < damage_->stale_pixels(best)))
            best = i;
    return best;
}

bool BufferedPicture::choose_again(const std::function<bool(int)>& busy) {
    if (!started() || !untouched_ || behind_.isEmpty()) return false;
    qint64 lacks = 0;
    for (const QRect& r : behind_) lacks += static_cast<qint64>(r.width()) * r.height();
    const int better = least_behind([&](int i) { return i == drawing_ || busy(i); });
    if (better < 0 || damage_->stale_pixels(better) >= lacks) return false;
    damage_->undrawn(drawing_, behind_);
    behind_ = damage_->draw_for(better, QRegion());
    drawing_ = better;
    return true;
}

}  // namespace vistaloom
