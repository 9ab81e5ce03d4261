// A stand-in for a screen-saver daemon's window: opens a plain window of the given size
// (default 400x300), prints its X window id and stays up until it is killed, which destroys
// the window as a daemon's exit would. Tests resize it and grab it from outside.
#include <QApplication>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QSize size(400, 300);
    const QStringList args = app.arguments();
    if (args.size() > 1) {
        const QStringList parts = args[1].split(QLatin1Char('x'));
        if (parts.size() == 2) size = QSize(parts[0].toInt(), parts[1].toInt());
    }
    QWidget host;
    host.setWindowTitle(QStringLiteral("e2e host"));
    // A colour the saver never paints, so a grab tells the host's pixels from the saver's.
    host.setStyleSheet(QStringLiteral("background: #00ff00"));
    host.resize(size);
    host.show();
    std::printf("%llu\n", static_cast<unsigned long long>(host.winId()));
    std::fflush(stdout);
    return app.exec();
}
