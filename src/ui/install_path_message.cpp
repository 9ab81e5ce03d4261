#include "ui/install_path_message.h"

#include <QMessageBox>

#include "startup/startup.h"

namespace vistaloom {

void show_install_path_message(QWidget* parent) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kInstallPathErrorTitle),
                    QString::fromUtf8(kInstallPathErrorText), QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace vistaloom
