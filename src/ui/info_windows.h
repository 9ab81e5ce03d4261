#pragma once
#include <QDialog>
#include <QPixmap>
#include <string>

#include "ui/message_boxes.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace vistaloom {

class Desktop;
class SettingsBackend;
struct SaverSettings;

// The product picture of the welcome and about windows, drawn by our own code.
QPixmap product_picture();

// The page about themes that is installed with the program (empty when it cannot be found).
std::string themes_help_page();

// Opens the themes page in the desktop's browser; says so in a message box when nothing can.
void open_themes_page(Desktop& desktop, const std::string& page, QWidget* parent,
                      const MessageBoxFn& message_box);

// The welcome window. Closing it, however, stores its check box in `welcome` at once.
class FrmWelcome : public QDialog {
    Q_OBJECT
  public:
    FrmWelcome(SaverSettings& settings, SettingsBackend& backend, QWidget* parent = nullptr);
    QCheckBox* show_next_time() const { return check_; }
  public slots:
    void done(int result) override;

  private:
    SaverSettings& settings_;
    SettingsBackend& backend_;
    QCheckBox* check_ = nullptr;
};

// The about window: name, version, notice, and a button that opens the themes page.
class FrmAbout : public QDialog {
    Q_OBJECT
  public:
    FrmAbout(Desktop& desktop, std::string page, MessageBoxFn message_box,
             QWidget* parent = nullptr);
    QLabel* version_label() const { return version_; }
    QLabel* notice_label() const { return notice_; }
    QPushButton* address_button() const { return address_; }

  private:
    Desktop& desktop_;
    std::string page_;
    MessageBoxFn message_box_;
    QLabel* version_ = nullptr;
    QLabel* notice_ = nullptr;
    QPushButton* address_ = nullptr;
};

}  // namespace vistaloom
