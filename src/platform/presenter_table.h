#pragma once
#include <memory>
#include <vector>

#include "platform/presenter.h"

class QWidget;

namespace vistaloom {

// One way of presenting, as a row of the table below.
struct PresenterRow {
    const char* name;
    // Whether the path may be tried for this window at all (its window system, its scale).
    bool (*applies)(const QWidget& window);
    std::unique_ptr<Presenter> (*make)();
};

// Every way of presenting, best first. The last row works everywhere.
const std::vector<PresenterRow>& presenter_rows();

// The first row that applies to `window` and starts on it, as a video player picks its
// output driver. With `picture_in_memory` only a path that keeps the shown picture in our
// memory, for a window whose picture other screens show too.
std::unique_ptr<Presenter> start_presenter(QWidget& window, bool picture_in_memory = false);

}  // namespace vistaloom
