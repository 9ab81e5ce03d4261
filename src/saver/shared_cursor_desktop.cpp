#include "saver/shared_cursor_desktop.h"

namespace vistaloom {

SharedCursorDesktop::~SharedCursorDesktop() {
    set_hidden(false);
}

int SharedCursorDesktop::show_cursor(bool show) {
    count_ += show ? 1 : -1;
    set_hidden(count_ < 0);
    return count_;
}

// The real counter moves by one step only when the first saver hides the cursor and when
// the last one shows it again.
void SharedCursorDesktop::set_hidden(bool hidden) {
    if (hidden == hidden_) return;
    hidden_ = hidden;
    if (hidden) {
        if (hidden_by_++ == 0) desktop_.show_cursor(false);
    } else {
        if (--hidden_by_ == 0) desktop_.show_cursor(true);
    }
}

}  // namespace vistaloom
