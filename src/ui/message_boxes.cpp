#include "ui/message_boxes.h"

#include <QMessageBox>

namespace vistaloom {

bool show_message_box(QWidget* parent, const MessageSpec& message) {
    const bool yes_no = message.buttons == MessageSpec::Buttons::YesNo;
    QMessageBox box(
        message.icon == MessageSpec::Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
        message.title.isEmpty() ? kDefaultMessageTitle : message.title, message.text,
        yes_no ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, parent);
    if (yes_no) {
        box.setDefaultButton(message.default_no ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    const int answer = box.exec();
    return yes_no ? answer == QMessageBox::Yes : true;
}

}  // namespace vistaloom
