#include "ui/frm_configuration.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include "library/photo_scan.h"
#include "startup/saver_settings.h"
#include "startup/settings_store.h"
#include "startup/startup_values.h"
#include "theme_files/theme_files.h"
#include "theme_maker/picture_reading.h"
#include "ui/frm_options.h"
#include "ui/info_windows.h"
#include "ui/saver_preview.h"

namespace vistaloom {

namespace {

// Room for a sample picture; larger ones are shown smaller, keeping their shape.
constexpr int kSampleWidth = 160;
constexpr int kSampleHeight = 120;

// The list entry that stands for the photo library rather than a theme.
const QString kPhotosEntry = QStringLiteral("Pictures Folder...");
constexpr int kPhotosRole = Qt::UserRole + 1;
// Enough photos tried for a sample: a folder of broken files must not keep the window busy.
constexpr size_t kSampleTries = 20;

QImage sample_image(const std::string& file) {
    QImage image =
        read_picture(file, QSize(kSampleWidth, kSampleHeight), PictureFit::shrink_to_fit).image;
    if (!image.isNull() && (image.width() > kSampleWidth || image.height() > kSampleHeight))
        image = image.scaled(kSampleWidth, kSampleHeight, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    return image;
}

QPushButton* button(const char* caption, const char* tool_tip) {
    auto* b = new QPushButton(QString::fromLatin1(caption));
    b->setToolTip(QString::fromLatin1(tool_tip));
    // Return presses the button that has the focus.
    b->setAutoDefault(true);
    return b;
}

QWidget* title_row() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* picture = new QLabel;  // a small product picture as the window's decoration
    picture->setPixmap(product_picture().scaledToHeight(56, Qt::SmoothTransformation));
    layout->addWidget(picture);
    auto* name = new QLabel(QStringLiteral("Vistaloom"));
    QFont font = name->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.8);
    name->setFont(font);
    layout->addWidget(name, 1);
    return row;
}

}  // namespace

std::optional<std::string> ask_for_photo_folder(QWidget* parent, const std::string& start) {
    const QString from = start.empty()
                             ? QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
                             : QString::fromStdString(start);
    const QString folder = QFileDialog::getExistingDirectory(
        parent, QStringLiteral("Pictures Folder"), from, QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}

FrmConfiguration::FrmConfiguration(ConfigurationContext context, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint),
      context_(std::move(context)) {
    setWindowTitle(QStringLiteral("Vistaloom") + QStringLiteral(" - Configuration"));
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(title_row());
    outer->addWidget(make_theme_group());
    outer->addLayout(make_window_buttons());
    outer->setSizeConstraint(QLayout::SetFixedSize);

    random_->setChecked(is_one(context_.settings.random_theme));
    connect(random_, &QCheckBox::toggled, this,
            [this](bool on) { context_.settings.random_theme = on ? "1" : "0"; });
    connect(combo_, &QComboBox::currentIndexChanged, this, &FrmConfiguration::theme_chosen);
    get_modules();
    show_module();
    combo_->setFocus();
}

QWidget* FrmConfiguration::make_theme_group() {
    auto* group = new QGroupBox(QStringLiteral("Available Themes:"));
    combo_ = new QComboBox;
    combo_->setToolTip(QStringLiteral(" This is your list of install Vistaloom Themes "));
    combo_->setMinimumContentsLength(24);
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    sample_ = new QLabel;
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setFixedSize(kSampleWidth, kSampleHeight);
    no_themes_ = new QLabel(QStringLiteral("No Themes Found!"));
    no_themes_->setAlignment(Qt::AlignCenter);
    no_themes_->setFixedSize(kSampleWidth, kSampleHeight);
    no_themes_->hide();
    auto* picture_box = new QFrame;
    picture_box->setFrameShape(QFrame::StyledPanel);
    picture_box->setFrameShadow(QFrame::Sunken);
    auto* stack = new QStackedLayout(picture_box);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(sample_);
    stack->addWidget(no_themes_);

    remove_ = button("&Remove", " Click here to remove this theme ");
    more_themes_ = button("&Get More Themes!",
                          " Click here to visit the Vistaloom Themes web site and download new "
                          "themes! ");
    new_theme_ = button("&New Theme From Pictures...",
                        " Click here to make a theme from a folder of your own pictures ");
    connect(remove_, &QPushButton::clicked, this, &FrmConfiguration::remove_clicked);
    connect(new_theme_, &QPushButton::clicked, this, &FrmConfiguration::new_theme_clicked);
    connect(more_themes_, &QPushButton::clicked, this, [this] {
        open_themes_page(context_.desktop, context_.help_page, this, context_.message_box);
    });
    auto* theme_buttons = new QVBoxLayout;
    theme_buttons->addWidget(remove_);
    theme_buttons->addWidget(more_themes_);
    theme_buttons->addWidget(new_theme_);
    theme_buttons->addStretch(1);

    random_ = new QCheckBox(QStringLiteral("Choose A Random Theme At Startup"));
    random_->setToolTip(
        QStringLiteral(" Check this box to choose a random theme when the screen saver starts "));

    auto* grid = new QGridLayout(group);
    grid->addWidget(combo_, 0, 0, 1, 2);
    grid->addWidget(picture_box, 1, 0);
    grid->addLayout(theme_buttons, 1, 1);
    grid->addWidget(random_, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return group;
}

QLayout* FrmConfiguration::make_window_buttons() {
    about_ = button("&About", " Click here to learn more about this screen saver. ");
    options_ = button("More &Options", " Click here to learn how to customize this screen saver! ");
    preview_button_ = button("&Preview", " Click here to preview this screen saver! ");
    exit_ = button("&Exit", " Click here to exit this configuration screen. ");
    connect(about_, &QPushButton::clicked, this, &FrmConfiguration::show_about);
    connect(options_, &QPushButton::clicked, this, &FrmConfiguration::show_options);
    connect(preview_button_, &QPushButton::clicked, this, &FrmConfiguration::show_preview);
    connect(exit_, &QPushButton::clicked, this, &QDialog::close);
    // Return in the list ends the window like Exit: the theme chosen there is kept.
    exit_->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addWidget(about_);
    row->addWidget(options_);
    row->addWidget(preview_button_);
    row->addStretch(1);
    row->addWidget(exit_);
    return row;
}

void FrmConfiguration::new_theme_clicked() {
    if (!context_.make_theme) return;
    const std::optional<std::string> made = context_.make_theme(this, context_.values.install_path);
    if (!made) return;
    // The new theme is the one the user wants to see: listed, chosen and its sample shown.
    context_.settings.active_module = *made;
    get_modules();
    show_module();
}

void FrmConfiguration::get_modules() {
    list_ = vistaloom::get_modules(context_.values.install_path, context_.settings.active_module);
    // Filling the list moves its selection; only the user's choices count as choosing.
    const QSignalBlocker quiet(combo_);
    combo_->clear();
    for (const std::string& name : list_.names) combo_->addItem(QString::fromStdString(name));
    combo_->addItem(kPhotosEntry);
    combo_->setItemData(combo_->count() - 1, true, kPhotosRole);
    combo_->setItemData(
        combo_->count() - 1,
        QStringLiteral(" Pictures from a folder of your photos and its subfolders "),
        Qt::ToolTipRole);
    combo_->setCurrentIndex(context_.settings.photo_folder.empty() ? list_.selected
                                                                   : photos_entry());
}

int FrmConfiguration::photos_entry() const {
    return combo_->count() - 1;
}

void FrmConfiguration::show_module() {
    no_themes_->hide();
    if (!context_.settings.photo_folder.empty()) {
        show_photo_sample();
        return;
    }
    no_themes_->setText(QStringLiteral("No Themes Found!"));
    if (context_.settings.active_module.empty()) {
        sample_->clear();
        no_themes_->show();
        return;
    }
    const std::string base = context_.values.install_path + context_.settings.active_module;
    read_theme_info(items_, base, context_.folders);
    const std::string file = extract_theme_item(items_, base, 1);
    // A sample that cannot be had ("False") or is no picture leaves the picture empty.
    const QImage image = file != "False" ? sample_image(file) : QImage();
    if (image.isNull()) {
        sample_->clear();
        return;
    }
    sample_->setPixmap(QPixmap::fromImage(image));
}

// The library's first photo in name order that can be read.
void FrmConfiguration::show_photo_sample() {
    const PhotoListing listing = list_photos(context_.settings.photo_folder);
    for (size_t i = 0; i < listing.photos.size() && i < kSampleTries; ++i) {
        const QImage image = sample_image(listing.photos[i].path);
        if (image.isNull()) continue;
        sample_->setPixmap(QPixmap::fromImage(image));
        return;
    }
    sample_->clear();
    no_themes_->setText(listing.folder_found ? QStringLiteral("No Pictures Found!")
                                             : QStringLiteral("Folder Not Found!"));
    no_themes_->show();
}

void FrmConfiguration::theme_chosen(int index) {
    if (index < 0) return;
    if (combo_->itemData(index, kPhotosRole).toBool()) {
        photos_chosen();
        return;
    }
    // A theme chosen: the saver shows the theme's pictures again.
    context_.settings.photo_folder.clear();
    context_.settings.active_module = combo_->itemText(index).toStdString();
    show_module();
}

void FrmConfiguration::photos_chosen() {
    const std::optional<std::string> folder =
        context_.choose_photo_folder(this, context_.settings.photo_folder);
    if (folder) context_.settings.photo_folder = *folder;
    if (context_.settings.photo_folder.empty()) {
        // Given up before any folder was chosen: back to the theme that was shown.
        const QSignalBlocker quiet(combo_);
        combo_->setCurrentIndex(list_.selected);
    }
    show_module();
}

void FrmConfiguration::remove_clicked() {
    const std::string name = combo_->currentText().toStdString();
    MessageSpec message;
    switch (check_removal(list_, name)) {
        case RemovalCheck::OnlyTheme:
            message.title = QStringLiteral("Only 1 theme available!");
            message.text = QStringLiteral("You must keep at least 1 theme available!");
            context_.message_box(this, message);
            return;
        case RemovalCheck::NoTheme:
            return;
        case RemovalCheck::Ask:
            break;
    }
    message.title = QStringLiteral("Remove Theme?");
    message.text = QStringLiteral(
        "You will not be able to view this theme again if you remove it!\n\n"
        "Do you want to remove this theme?\n");
    message.buttons = MessageSpec::Buttons::YesNo;
    message.icon = MessageSpec::Icon::Critical;
    message.default_no = true;
    if (!context_.message_box(this, message)) return;

    const bool removed = remove_theme_files(context_.values.install_path, name, context_.file_ops);
    // The list shows what is in the folder either way.
    get_modules();
    show_module();
    if (!removed) {
        MessageSpec error;
        error.title = QStringLiteral("File Error");
        error.text = QStringLiteral("Error removing theme data!");
        context_.message_box(this, error);
    }
}

void FrmConfiguration::show_about() {
    FrmAbout about(context_.desktop, context_.help_page, context_.message_box, this);
    about.exec();
}

void FrmConfiguration::show_options() {
    FrmOptions options(context_.settings, context_.backend, context_.preview, this);
    options.exec();
}

void FrmConfiguration::show_preview() {
    context_.preview.run();  // saves the settings first
}

void FrmConfiguration::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activation_queued_) return;
    activation_queued_ = true;
    // Queued, so the window is painted before the welcome window covers part of it.
    QTimer::singleShot(0, this, &FrmConfiguration::form_activate);
}

void FrmConfiguration::form_activate() {
    if (unloaded_ || welcome_shown_ || !is_one(context_.settings.welcome)) return;
    welcome_shown_ = true;
    FrmWelcome welcome(context_.settings, context_.backend, this);
    welcome.exec();
}

// Exit, the close box and Escape all end here.
void FrmConfiguration::done(int result) {
    if (!unloaded_) {
        unloaded_ = true;
        remove_temp_items(items_);
        save_settings(context_.settings, context_.backend);
    }
    QDialog::done(result);
    emit unloaded();
}

}  // namespace vistaloom
