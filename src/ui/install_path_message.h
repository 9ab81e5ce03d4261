#pragma once

class QWidget;

namespace vistaloom {

// The message shown when no themes folder was recorded by an installer: the fixed text and
// title, an OK button only. Returns when the user dismissed it.
void show_install_path_message(QWidget* parent = nullptr);

}  // namespace vistaloom
