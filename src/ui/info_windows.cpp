#include "ui/info_windows.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ground/desktop.h"
#include "ground/version.h"
#include "pixels/builtin_pictures.h"
#include "saver/theme_configuration.h"
#include "startup/saver_settings.h"
#include "startup/settings_store.h"

#ifndef VISTALOOM_DATA_DIR
#define VISTALOOM_DATA_DIR "share/vistaloom"
#endif

namespace vistaloom {

namespace {

const QString kProductName = QStringLiteral("Vistaloom");
const QString kMakerName = QStringLiteral("Brindlecode");
const QString kHelpPageName = QStringLiteral("themes-help.html");
// The <title> of data/themes-help.html.
const QString kHelpPageTitle = QStringLiteral("Vistaloom Themes");

QLabel* heading(const QString& text, qreal scale) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * scale);
    label->setFont(font);
    return label;
}

QLabel* paragraph(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QLabel* picture_label() {
    auto* label = new QLabel;
    label->setPixmap(product_picture());
    label->setFrameShape(QFrame::StyledPanel);
    label->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    return label;
}

// The page as the about window names it: by its title, as a browser would, because the file's
// path means nothing to a reader and runs wider than the window; a plain note when it is missing.
QString page_name(const std::string& page) {
    if (page.empty()) return QStringLiteral("(the themes page is not installed)");
    return kHelpPageTitle;
}

}  // namespace

QPixmap product_picture() {
    const Surface sample = make_preview_sample();
    const QImage view(reinterpret_cast<const uchar*>(sample.pixels.data()), sample.width,
                      sample.height, static_cast<qsizetype>(sample.stride) * 4,
                      QImage::Format_RGB32);
    return QPixmap::fromImage(view.copy());
}

std::string themes_help_page() {
    // Installed next to the themes: <prefix>/bin/vistaloom and <prefix>/share/vistaloom/. A
    // build tree has the same layout (build/src/vistaloom and build/share/vistaloom/).
    const QDir program(QCoreApplication::applicationDirPath());
    const QStringList candidates = {
        program.filePath(QStringLiteral("../") + QStringLiteral(VISTALOOM_DATA_DIR) + "/" +
                         kHelpPageName),
        program.filePath(QStringLiteral("../share/vistaloom/") + kHelpPageName),
    };
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile()) return info.canonicalFilePath().toStdString();
    }
    return {};
}

void open_themes_page(Desktop& desktop, const std::string& page, QWidget* parent,
                      const MessageBoxFn& message_box) {
    // A page that is not there fails like a browser that is not there: the shell could not
    // open it either way.
    if (!page.empty() &&
        desktop.open_url(
            QUrl::fromLocalFile(QString::fromStdString(page)).toString().toStdString()))
        return;
    MessageSpec message;
    message.text = QStringLiteral("Shell Execute Error. (No default browser?)");
    message_box(parent, message);
}

// --- welcome ---------------------------------------------------------------------------------

FrmWelcome::FrmWelcome(SaverSettings& settings, SettingsBackend& backend, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings),
      backend_(backend) {
    setWindowTitle(QStringLiteral("Welcome!"));

    auto* titles = new QVBoxLayout;
    titles->addWidget(heading(QStringLiteral("Welcome To:"), 1.2));
    titles->addWidget(heading(QStringLiteral("Vistaloom Screen Saver"), 1.6));
    titles->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(picture_label());
    top->addLayout(titles, 1);

    check_ = new QCheckBox(QStringLiteral("Display This Screen Next Time"));
    check_->setToolTip(QStringLiteral(" Check this box to display this message next time "));
    check_->setChecked(true);
    auto* go_on = new QPushButton(QStringLiteral("&Continue..."));
    go_on->setDefault(true);
    connect(go_on, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(check_);
    bottom->addStretch(1);
    bottom->addWidget(go_on);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(heading(QStringLiteral("User Configurable Settings"), 1.0));
    outer->addWidget(paragraph(QStringLiteral(
        "Vistaloom Screen Saver features a variety of ways that you can customize the screen "
        "saver. You can adjust the overall target frame rate of the animation, adjust how many "
        "images will be moving around the screen, the speed of the images, etc. Password and "
        "wallpaper support are standard features.")));
    outer->addWidget(heading(QStringLiteral("About This Screen Saver..."), 1.0));
    outer->addWidget(paragraph(QStringLiteral(
        "Vistaloom Screen Saver is an expandable theme based screen saver. There is a wide "
        "variety of themes currently available. Sports, Cars, Flowers, Nature, Holiday, "
        "Scenic, etc.  Many more themes are currently in development!")));
    outer->addSpacing(6);
    outer->addLayout(bottom);
    setFixedWidth(sizeHint().width() < 480 ? 480 : sizeHint().width());
    go_on->setFocus();
}

void FrmWelcome::done(int result) {
    settings_.welcome = check_->isChecked() ? "1" : "0";
    save_welcome(settings_, backend_);
    QDialog::done(result);
}

// --- about -----------------------------------------------------------------------------------

FrmAbout::FrmAbout(Desktop& desktop, std::string page, MessageBoxFn message_box, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      desktop_(desktop),
      page_(std::move(page)),
      message_box_(std::move(message_box)) {
    setWindowTitle(QStringLiteral("About... ") + kProductName);
    const QString address = page_name(page_);

    version_ = new QLabel(QString::fromStdString(
        vistaloom::version_label(kVersion.major, kVersion.minor, kVersion.patch)));
    notice_ = new QLabel(QStringLiteral("\u00A9 ") + QString::number(QDate::currentDate().year()) +
                         QStringLiteral(" ") + kMakerName + QStringLiteral("\n") + address);
    notice_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    address_ = new QPushButton(address);
    address_->setToolTip(
        QStringLiteral(" Click here to visit the Brindlecode home page on the internet! "));
    address_->setAutoDefault(false);
    connect(address_, &QPushButton::clicked, this,
            [this] { open_themes_page(desktop_, page_, this, message_box_); });

    auto* text = new QVBoxLayout;
    text->addWidget(heading(QStringLiteral("Welcome To: ") + kProductName, 1.4));
    text->addWidget(version_);
    text->addSpacing(8);
    text->addWidget(notice_);
    text->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(picture_label());
    top->addLayout(text, 1);

    auto* ok = new QPushButton(QStringLiteral("&Ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(address_);
    bottom->addStretch(1);
    bottom->addWidget(ok);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addLayout(bottom);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus();
}

}  // namespace vistaloom
