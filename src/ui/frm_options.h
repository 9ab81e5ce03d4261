#pragma once
#include <QDialog>
#include <array>
#include <functional>

#include "ui/message_boxes.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollBar;
class QSpinBox;

namespace vistaloom {

class SaverPreview;
class SettingsBackend;
struct SaverSettings;

// The options dialog. Every control writes straight into the settings record as it changes;
// there is no cancel. The record is saved when the dialog closes (however it is closed) and
// before a preview.
class FrmOptions : public QDialog {
    Q_OBJECT
  public:
    FrmOptions(SaverSettings& settings, SettingsBackend& backend, SaverPreview& preview,
               QWidget* parent = nullptr);

    // For tests and the screenshots: the controls by their role.
    QScrollBar* frame_rate_bar() const { return frame_rate_bar_; }    // HScroll1
    QScrollBar* sensitivity_bar() const { return sensitivity_bar_; }  // HScroll2
    QScrollBar* sprite_bar() const { return sprite_bar_; }            // HScroll3
    QScrollBar* speed_bar() const { return speed_bar_; }              // HScroll4
    QLabel* frame_rate_label() const { return frame_rate_label_; }    // Label1
    const std::array<QCheckBox*, 7>& switches() const {
        return switches_;
    }  // Check5, 6, 1..4, battery
    QSpinBox* idle_minutes_box() const { return idle_minutes_box_; }
    QCheckBox* autostart_box() const { return autostart_box_; }
    // Several screens, picture size, reduced motion.
    const std::array<QComboBox*, 3>& choices() const { return choices_; }

    // What ticking "Start With My Desktop" does besides writing the autostart entry: start a
    // watcher now (it stands aside by itself where one runs or a daemon manages the screen),
    // and the message box that says when the entry could not be written. Tests record them.
    void set_watcher_hooks(std::function<void()> start_watcher_now, MessageBoxFn message_box);

  public slots:
    void done(int result) override;

  private:
    QWidget* make_switches();
    QWidget* make_sprite_group();
    QWidget* make_sensitivity_group();
    QWidget* make_animation_group();
    QWidget* make_screens_group();
    QWidget* make_idle_group();
    void autostart_toggled(bool on);
    void load_controls();
    void show_frame_rate(int value);
    void preview_clicked();

    SaverSettings& settings_;
    SettingsBackend& backend_;
    SaverPreview& preview_;
    QScrollBar* frame_rate_bar_ = nullptr;
    QScrollBar* sensitivity_bar_ = nullptr;
    QScrollBar* sprite_bar_ = nullptr;
    QScrollBar* speed_bar_ = nullptr;
    QLabel* frame_rate_label_ = nullptr;
    std::array<QCheckBox*, 7> switches_{};
    QSpinBox* idle_minutes_box_ = nullptr;
    QCheckBox* autostart_box_ = nullptr;
    std::array<QComboBox*, 3> choices_{};
    std::function<void()> start_watcher_now_;
    MessageBoxFn message_box_;
};

}  // namespace vistaloom
