#include "ui/frm_options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "platform/autostart_entry.h"
#include "startup/saver_settings.h"
#include "startup/settings_store.h"
#include "ui/saver_preview.h"

namespace vistaloom {

namespace {

struct SwitchSpec {
    const char* caption;
    const char* tool_tip;
    std::string SaverSettings::*field;
};

// In the order they stand in their group.
const std::array<SwitchSpec, 7> kSwitches = {{
    {"&Display Border Around Images",
     " Check this box to display a border around each image as it is shown ",
     &SaverSettings::borders_on},
    {"&Gradient Backgrounds", " Check this box to fill the background with gradient fills ",
     &SaverSettings::gradients_on},
    {"Play &Music Files In A Random Order",
     " Check this box to play the music fles in a random order during the screen saver ",
     &SaverSettings::random_music},
    {"&Mute All Audio", " Check this box to turn all audio OFF during the screen saver ",
     &SaverSettings::mute_audio},
    {"Save As &Wallpaper When Exiting",
     " Check this box to save the screen saver image as wallpaper when exiting the screen saver ",
     &SaverSettings::save_wallpaper},
    {"Show &Time Of Day", " Check this box to display the time of day during the screen saver ",
     &SaverSettings::show_time},
    {"Still Picture On &Battery Power",
     " Check this box to show a still picture instead of moving images while the computer runs "
     "on its battery ",
     &SaverSettings::still_on_battery},
}};

struct Choice {
    const char* caption;
    const char* value;  // as stored
};

struct ChoiceSpec {
    const char* caption;
    const char* tool_tip;
    std::string SaverSettings::*field;
    std::array<Choice, 4> choices;  // the first is a fresh settings file's; unused ones empty
};

const std::array<ChoiceSpec, 3> kChoices = {{
    {"Several &Screens",
     " How the screen saver uses more than one screen ",
     &SaverSettings::screen_mode,
     {{{"A Scene On Each Screen", "each"},
       {"The Same Scene On All", "mirror"},
       {"One Scene Across All", "span"},
       {"Main Screen Only", "main"}}}},
    {"Picture Si&ze",
     " How large the pictures are drawn on a high-resolution screen ",
     &SaverSettings::picture_scale,
     {{{"As The Screen Is Scaled", "auto"}, {"Normal", "1"}, {"Double", "2"}, {nullptr, nullptr}}}},
    {"&Reduced Motion",
     " Move the pictures gently: at the slowest speed, never hurried out ",
     &SaverSettings::reduced_motion,
     {{{"As The Desktop Asks", "auto"}, {"On", "on"}, {"Off", "off"}, {nullptr, nullptr}}}},
}};

QScrollBar* make_bar(const SettingRange& range, int small_step, int large_step) {
    auto* bar = new QScrollBar(Qt::Horizontal);
    bar->setRange(range.low, range.high);
    bar->setSingleStep(small_step);
    bar->setPageStep(large_step);
    // Reachable with Tab and moved with the arrow keys, for people without a mouse.
    bar->setFocusPolicy(Qt::StrongFocus);
    // A scroll bar's keys are inverted by default (as for scrolling a page); these bars set a
    // value, so Right and Up must raise it.
    bar->setInvertedControls(false);
    bar->setMinimumWidth(220);
    return bar;
}

// A bar with its two end labels under it.
QWidget* bar_with_ends(QScrollBar* bar, const QString& left, const QString& right) {
    auto* box = new QWidget;
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    grid->addWidget(bar, 0, 0, 1, 2);
    grid->addWidget(new QLabel(left), 1, 0, Qt::AlignLeft);
    grid->addWidget(new QLabel(right), 1, 1, Qt::AlignRight);
    return box;
}

QLabel* explanation(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

}  // namespace

FrmOptions::FrmOptions(SaverSettings& settings, SettingsBackend& backend, SaverPreview& preview,
                       QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings),
      backend_(backend),
      preview_(preview),
      start_watcher_now_([] {
          QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                  {QStringLiteral("--watch")});
      }),
      message_box_(show_message_box) {
    setWindowTitle(QStringLiteral("Vistaloom") + QStringLiteral(" - Configuration"));

    auto* left = new QVBoxLayout;
    left->addWidget(make_switches());
    left->addWidget(make_sprite_group());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(make_animation_group());
    right->addWidget(make_sensitivity_group());
    right->addStretch(1);

    auto* ok = new QPushButton(QStringLiteral("&Ok"));
    ok->setToolTip(QStringLiteral(" Click here to exit this screen "));
    ok->setDefault(true);
    auto* preview_button = new QPushButton(QStringLiteral("&Preview"));
    preview_button->setToolTip(QStringLiteral(" Click here to preview the screen saver "));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(preview_button, &QPushButton::clicked, this, &FrmOptions::preview_clicked);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(preview_button);
    buttons->addWidget(ok);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(columns);
    outer->addWidget(make_screens_group());
    outer->addWidget(make_idle_group());
    outer->addLayout(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    load_controls();
    // Keyboard order: the switches, then the bars from the top of each column, then buttons.
    // Built from the switches themselves, so a switch added to the group cannot fall out.
    std::vector<QWidget*> order(switches_.begin(), switches_.end());
    order.insert(order.end(), {sprite_bar_, frame_rate_bar_, speed_bar_, sensitivity_bar_});
    order.insert(order.end(), choices_.begin(), choices_.end());
    order.insert(order.end(), {idle_minutes_box_, autostart_box_, preview_button, ok});
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
    switches_[0]->setFocus();
}

QWidget* FrmOptions::make_switches() {
    auto* group = new QGroupBox(QStringLiteral("Screen Saver Options"));
    auto* layout = new QVBoxLayout(group);
    for (size_t i = 0; i < kSwitches.size(); ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kSwitches[i].caption));
        box->setToolTip(QString::fromLatin1(kSwitches[i].tool_tip));
        layout->addWidget(box);
        switches_[i] = box;
    }
    return group;
}

QWidget* FrmOptions::make_sprite_group() {
    auto* group = new QGroupBox(QStringLiteral("How Many Vistaloom"));
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(explanation(QStringLiteral(
        "You can adjust how many different Vistaloom will be on screen. Greater number of "
        "images work better on a machine with a good graphics card.")));
    sprite_bar_ = make_bar(kSpriteActiveRange, 1, 5);
    layout->addWidget(
        bar_with_ends(sprite_bar_, QStringLiteral("Fewer Images"), QStringLiteral("More Images")));
    return group;
}

QWidget* FrmOptions::make_sensitivity_group() {
    auto* group = new QGroupBox(QStringLiteral("Mouse Sensitivity To Exit"));
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(explanation(QStringLiteral(
        "You can adjust how sensitive your mouse moves will be to cause the screen saver to "
        "exit.")));
    sensitivity_bar_ = make_bar(kMouseSensitivityRange, 2, 5);
    layout->addWidget(bar_with_ends(sensitivity_bar_, QStringLiteral("More Sensitive"),
                                    QStringLiteral("Less Sensitive")));
    return group;
}

QWidget* FrmOptions::make_animation_group() {
    auto* group = new QGroupBox(QStringLiteral("Animation Settings"));
    auto* layout = new QVBoxLayout(group);
    frame_rate_label_ = new QLabel;
    layout->addWidget(frame_rate_label_);
    frame_rate_bar_ = make_bar(kFrameRateRange, 5, 10);
    layout->addWidget(
        bar_with_ends(frame_rate_bar_, QStringLiteral("Slower"), QStringLiteral("Faster")));
    layout->addWidget(new QLabel(QStringLiteral("Image Speed")));
    speed_bar_ = make_bar(kSpeedScaleRange, 1, 5);
    layout->addWidget(
        bar_with_ends(speed_bar_, QStringLiteral("Slower"), QStringLiteral("Faster")));
    layout->addWidget(explanation(QStringLiteral(
        "For smoother image movement you may need to adjust a combination of both frame rate "
        "and image speed.")));
    return group;
}

QWidget* FrmOptions::make_screens_group() {
    auto* group = new QGroupBox(QStringLiteral("Screens"));
    auto* grid = new QGridLayout(group);
    for (size_t i = 0; i < kChoices.size(); ++i) {
        auto* box = new QComboBox;
        box->setToolTip(QString::fromLatin1(kChoices[i].tool_tip));
        for (const Choice& choice : kChoices[i].choices)
            if (choice.caption)
                box->addItem(QString::fromLatin1(choice.caption),
                             QString::fromLatin1(choice.value));
        auto* caption = new QLabel(QString::fromLatin1(kChoices[i].caption));
        caption->setBuddy(box);
        grid->addWidget(caption, static_cast<int>(i) / 2, (static_cast<int>(i) % 2) * 2);
        grid->addWidget(box, static_cast<int>(i) / 2, (static_cast<int>(i) % 2) * 2 + 1);
        choices_[i] = box;
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return group;
}

QWidget* FrmOptions::make_idle_group() {
    auto* group = new QGroupBox(QStringLiteral("Starting By Itself"));
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(explanation(QStringLiteral(
        "Where the desktop does not start screen savers itself (GNOME, KDE Plasma, most "
        "Wayland desktops), Vistaloom's own watcher starts it after this idle time.")));
    idle_minutes_box_ = new QSpinBox;
    idle_minutes_box_->setRange(kIdleMinutesRange.low, kIdleMinutesRange.high);
    idle_minutes_box_->setToolTip(
        QStringLiteral(" How many minutes without input before the screen saver starts "));
    auto* caption = new QLabel(QStringLiteral("Start &After"));
    caption->setBuddy(idle_minutes_box_);
    autostart_box_ = new QCheckBox(QStringLiteral("&Start With My Desktop"));
    autostart_box_->setToolTip(
        QStringLiteral(" Check this box to start the watcher each time you log in "));
    auto* row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(idle_minutes_box_);
    row->addWidget(new QLabel(QStringLiteral("Minutes")));
    row->addSpacing(24);
    row->addWidget(autostart_box_);
    row->addStretch(1);
    layout->addLayout(row);
    return group;
}

void FrmOptions::set_watcher_hooks(std::function<void()> start_watcher_now,
                                   MessageBoxFn message_box) {
    start_watcher_now_ = std::move(start_watcher_now);
    message_box_ = std::move(message_box);
}

// The entry is the desktop's file, not a setting: it is written or removed as the box is
// ticked, and a box that could not do so goes back to how the file is.
void FrmOptions::autostart_toggled(bool on) {
    std::string why;
    if (set_autostart_entry(on, QCoreApplication::applicationFilePath().toStdString(), why)) {
        if (on && start_watcher_now_) start_watcher_now_();
        return;
    }
    const QSignalBlocker quiet(autostart_box_);
    autostart_box_->setChecked(autostart_entry_enabled());
    if (message_box_)
        message_box_(this, MessageSpec{kDefaultMessageTitle, QString::fromStdString(why)});
}

// A value edited by hand outside a bar's range shows at the bar's nearest end, and stays as
// it is stored until the user moves that bar: the bars are set before they are connected.
void FrmOptions::load_controls() {
    frame_rate_bar_->setValue(frame_rate_in_range(settings_));
    sensitivity_bar_->setValue(mouse_sensitivity_in_range(settings_));
    sprite_bar_->setValue(sprite_active_in_range(settings_));
    speed_bar_->setValue(speed_scale_in_range(settings_));
    idle_minutes_box_->setValue(idle_minutes_in_range(settings_));
    autostart_box_->setChecked(autostart_entry_enabled());
    for (size_t i = 0; i < kSwitches.size(); ++i) {
        std::string& field = settings_.*(kSwitches[i].field);
        switches_[i]->setChecked(is_one(field));
        connect(switches_[i], &QCheckBox::toggled, this,
                [&field](bool on) { field = on ? "1" : "0"; });
    }
    // A word edited by hand that no choice has shows as the first choice (which is what a run
    // makes of it) and stays stored until the user picks one.
    for (size_t i = 0; i < kChoices.size(); ++i) {
        std::string& field = settings_.*(kChoices[i].field);
        const int at = choices_[i]->findData(QString::fromStdString(field));
        choices_[i]->setCurrentIndex(at < 0 ? 0 : at);
        connect(choices_[i], &QComboBox::activated, this, [&field, box = choices_[i]](int index) {
            field = box->itemData(index).toString().toStdString();
        });
    }
    // The saver runs at the rate the bar shows, so that is the rate the label names.
    show_frame_rate(frame_rate_bar_->value());

    connect(frame_rate_bar_, &QScrollBar::valueChanged, this, [this](int value) {
        settings_.frame_rate = std::to_string(value);
        show_frame_rate(value);
    });
    connect(sensitivity_bar_, &QScrollBar::valueChanged, this,
            [this](int value) { settings_.mouse_sensitivity = std::to_string(value); });
    connect(sprite_bar_, &QScrollBar::valueChanged, this,
            [this](int value) { settings_.sprite_active = value; });
    connect(speed_bar_, &QScrollBar::valueChanged, this,
            [this](int value) { settings_.speed_scale = value; });
    connect(idle_minutes_box_, &QSpinBox::valueChanged, this,
            [this](int value) { settings_.idle_minutes = value; });
    connect(autostart_box_, &QCheckBox::toggled, this, &FrmOptions::autostart_toggled);
}

void FrmOptions::show_frame_rate(int value) {
    frame_rate_label_->setText(QString::number(value) + QStringLiteral(" Frames Per Second"));
}

void FrmOptions::preview_clicked() {
    preview_.run();  // saves the settings first
}

// Ok, the close box and Escape all end here.
void FrmOptions::done(int result) {
    save_settings(settings_, backend_);
    QDialog::done(result);
}

}  // namespace vistaloom
