#include "ui/new_theme_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace vistaloom;

namespace {

class NewThemeDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    QString photos() const { return root_.filePath("photos"); }
    QString themes() const { return root_.filePath("themes") + "/"; }
    QStringList theme_files() const { return QDir(themes()).entryList(QDir::Files | QDir::Hidden); }

    static void fill(QDialog* dialog, const QString& folder, const QString& name) {
        dialog->findChild<QLineEdit*>("folder")->setText(folder);
        dialog->findChild<QLineEdit*>("name")->setText(name);
    }
    // Runs `act` on the first modal dialog of type T once it is up.
    template <typename T>
    static void when_shown(std::function<void(T*)> act) {
        auto* timer = new QTimer;
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, [timer, act] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible()) {
                    timer->stop();
                    timer->deleteLater();
                    act(dialog);
                    return;
                }
            }
        });
        timer->start();
    }

  private slots:
    void init() {
        QDir(photos()).removeRecursively();
        QDir(themes()).removeRecursively();
        QDir().mkpath(photos());
        QDir().mkpath(themes());
        for (int i = 0; i < 6; ++i) {
            QImage photo(400, 300, QImage::Format_RGB32);
            photo.fill(QColor::fromHsv(i * 100, 200, 200));
            QVERIFY(photo.save(QDir(photos()).filePath(QString("p%1.png").arg(i))));
        }
    }

    void okIsRefusedWithAReason() {
        QFile(themes() + "Taken.icf").open(QIODevice::WriteOnly);
        NewThemeDialog dialog(themes().toStdString());
        auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        auto* problem = dialog.findChild<QLabel*>("problem");
        const QStringList refused{"", "a/b", ".hidden", "Taken", " x", "x."};
        for (const QString& name : refused) {
            fill(&dialog, photos(), name);
            QVERIFY2(!ok->isEnabled(), qPrintable(name));
            QVERIFY2(!problem->text().isEmpty(), qPrintable(name));
            dialog.accept();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        fill(&dialog, root_.filePath("no such folder"), "Fine");
        QVERIFY(!ok->isEnabled());
        fill(&dialog, photos(), "Fine");
        QVERIFY(ok->isEnabled());
        QVERIFY(problem->text().isEmpty());
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.theme_name(), std::string("Fine"));
    }

    void theButtonMakesTheThemeAndReturnsItsName() {
        when_shown<NewThemeDialog>([this](NewThemeDialog* d) {
            fill(d, photos(), "Holiday");
            d->accept();
        });
        const auto name = make_theme_from_pictures(nullptr, themes().toStdString());
        QCOMPARE(name, std::optional<std::string>("Holiday"));
        QCOMPARE(theme_files(), (QStringList{"Holiday.icf", "Holiday.img"}));
    }

    void cancellingTheDialogOrTheProgressLeavesNothing() {
        when_shown<NewThemeDialog>([](NewThemeDialog* d) { d->reject(); });
        QCOMPARE(make_theme_from_pictures(nullptr, themes().toStdString()), std::nullopt);

        when_shown<NewThemeDialog>([this](NewThemeDialog* d) {
            fill(d, photos(), "Holiday");
            d->accept();
            when_shown<QProgressDialog>(
                [](QProgressDialog* p) { p->findChild<QPushButton*>()->click(); });
        });
        QCOMPARE(make_theme_from_pictures(nullptr, themes().toStdString()), std::nullopt);
        QVERIFY(theme_files().isEmpty());
    }
};

}  // namespace

QTEST_MAIN(NewThemeDialogTest)
#include "new_theme_dialog_qt_test.moc"
