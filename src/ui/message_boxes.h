#pragma once
#include <QString>
#include <functional>

class QWidget;

namespace vistaloom {

// One message box of the configuration side: what it says and which buttons it offers.
struct MessageSpec {
    enum class Buttons { Ok, YesNo };
    enum class Icon { None, Critical };
    QString title;
    QString text;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    bool default_no = false;  // Yes/No boxes: No is the default button
};

// Shows a message box and returns true when the user answered Yes (Ok for an Ok-only box).
// Windows take this as a function, so tests answer without a box on the screen.
using MessageBoxFn = std::function<bool(QWidget* parent, const MessageSpec& message)>;

// The real, modal QMessageBox.
bool show_message_box(QWidget* parent, const MessageSpec& message);

// The title a message box gets when none is given.
inline const QString kDefaultMessageTitle = QStringLiteral("Vistaloom");

}  // namespace vistaloom
