#include "ui/new_theme_dialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <atomic>

#include "theme_files/theme_names.h"

namespace vistaloom {

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// At most `limit` lines of `lines`, then how many more there are.
QString listed(const std::vector<std::string>& lines, size_t limit) {
    QStringList shown;
    for (size_t i = 0; i < lines.size() && i < limit; ++i) shown << text(lines[i]);
    if (lines.size() > limit)
        shown << NewThemeDialog::tr("... and %1 more").arg(lines.size() - limit);
    return shown.join('\n');
}

}  // namespace

NewThemeDialog::NewThemeDialog(std::string themes_folder, QWidget* parent)
    : QDialog(parent),
      themes_folder_(std::move(themes_folder)),
      folder_edit_(new QLineEdit(this)),
      name_edit_(new QLineEdit(this)),
      problem_label_(new QLabel(this)) {
    setWindowTitle(tr("New Theme From Pictures"));
    folder_edit_->setObjectName("folder");
    name_edit_->setObjectName("name");
    problem_label_->setObjectName("problem");
    folder_edit_->setToolTip(tr(" The folder that holds your photos and music "));
    name_edit_->setToolTip(tr(" The name the theme is listed under "));
    name_edit_->setMaxLength(200);

    auto* browse = new QPushButton(tr("&Browse..."), this);
    auto* folder_row = new QHBoxLayout;
    folder_row->addWidget(folder_edit_, 1);
    folder_row->addWidget(browse);
    auto* form = new QFormLayout;
    auto* folder_label = new QLabel(tr("Pictures &folder:"), this);
    folder_label->setBuddy(folder_edit_);
    auto* name_label = new QLabel(tr("Theme &name:"), this);
    name_label->setBuddy(name_edit_);
    form->addRow(folder_label, folder_row);
    form->addRow(name_label, name_edit_);

    auto* hint = new QLabel(tr("Twenty of the pictures, in name order, fill the theme; its MIDI, "
                               "WAV and MP3 files become the music."),
                            this);
    hint->setWordWrap(true);
    problem_label_->setWordWrap(true);
    problem_label_->setStyleSheet("color: #b00000");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_button_ = buttons->button(QDialogButtonBox::Ok);
    ok_button_->setText(tr("&Make Theme"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(problem_label_);
    layout->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);

    connect(browse, &QPushButton::clicked, this, &NewThemeDialog::choose_folder);
    connect(buttons, &QDialogButtonBox::accepted, this, &NewThemeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &NewThemeDialog::reject);
    connect(folder_edit_, &QLineEdit::textChanged, this, &NewThemeDialog::show_problem);
    connect(name_edit_, &QLineEdit::textChanged, this, &NewThemeDialog::show_problem);
    show_problem();
}

std::string NewThemeDialog::picture_folder() const {
    return folder_edit_->text().toStdString();
}
std::string NewThemeDialog::theme_name() const {
    return name_edit_->text().toStdString();
}

QString NewThemeDialog::problem() const {
    if (folder_edit_->text().isEmpty()) return tr("Choose the folder of your pictures.");
    if (!QDir(folder_edit_->text()).exists()) return tr("There is no such folder.");
    const std::string name = theme_name();
    if (const std::string why = theme_name_problem(name); !why.empty()) {
        QString sentence = text(why) + ".";
        sentence[0] = sentence[0].toUpper();
        return sentence;
    }
    if (theme_exists(theme_base_path_in(themes_folder_, name)))
        return tr("A theme named \"%1\" is there already.").arg(name_edit_->text());
    return {};
}

void NewThemeDialog::show_problem() {
    const QString why = problem();
    // An empty form is no mistake yet; say nothing until something is typed.
    const bool untouched = folder_edit_->text().isEmpty() && name_edit_->text().isEmpty();
    problem_label_->setText(untouched ? QString() : why);
    ok_button_->setEnabled(why.isEmpty());
}

void NewThemeDialog::accept() {
    show_problem();
    if (problem().isEmpty()) QDialog::accept();
}

void NewThemeDialog::choose_folder() {
    const QString chosen = QFileDialog::getExistingDirectory(this, tr("Folder of Your Pictures"),
                                                             folder_edit_->text());
    if (chosen.isEmpty()) return;
    folder_edit_->setText(chosen);
    if (name_edit_->text().isEmpty()) name_edit_->setText(QDir(chosen).dirName());
}

std::string theme_base_path_in(const std::string& themes_folder, const std::string& name) {
    if (themes_folder.empty() || themes_folder.back() == '/') return themes_folder + name;
    return themes_folder + "/" + name;
}

ThemeMakeResult make_theme_with_progress(QWidget* parent, const ThemeMakeRequest& request) {
    QProgressDialog progress(NewThemeDialog::tr("Reading the pictures..."),
                             NewThemeDialog::tr("&Cancel"), 0, 1, parent);
    progress.setWindowTitle(NewThemeDialog::tr("Making the Theme"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    // Wide enough that the label does not make the dialog jump with every file name.
    progress.setMinimumWidth(progress.fontMetrics().averageCharWidth() * 50);
    std::atomic<bool> cancel{false};
    QObject::connect(&progress, &QProgressDialog::canceled, [&cancel] { cancel = true; });
    auto report = [&](const ThemeMakeProgress& p) {
        progress.setMaximum(p.total);
        progress.setValue(p.done);
        QString step = text(p.step);
        if (!step.isEmpty()) step[0] = step[0].toUpper();
        progress.setLabelText(step);
        // The photos are read on other threads; this keeps the window and Cancel alive.
        QCoreApplication::processEvents();
        if (progress.wasCanceled()) cancel = true;
    };
    return make_theme(request, report, &cancel);
}

std::optional<std::string> make_theme_from_pictures(QWidget* parent,
                                                    const std::string& themes_folder) {
    NewThemeDialog dialog(themes_folder, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    ThemeMakeRequest request;
    request.base_path = theme_base_path_in(themes_folder, dialog.theme_name());
    request.picture_folder = dialog.picture_folder();
    const ThemeMakeResult result = make_theme_with_progress(parent, request);
    switch (result.status) {
        case ThemeMakeResult::Status::made:
            if (!result.skipped.empty())
                QMessageBox::information(
                    parent, NewThemeDialog::tr("Some Files Were Left Out"),
                    NewThemeDialog::tr("The theme is made. These files were left out:\n\n") +
                        listed(result.skipped, 12));
            return dialog.theme_name();
        case ThemeMakeResult::Status::failed:
            QMessageBox::warning(parent, NewThemeDialog::tr("No Theme Made"), text(result.error));
            return std::nullopt;
        case ThemeMakeResult::Status::cancelled:
            break;
    }
    return std::nullopt;
}

}  // namespace vistaloom
