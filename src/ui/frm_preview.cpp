#include "ui/frm_preview.h"

#include <QCloseEvent>
#include <QImage>
#include <QPainter>

#include "pixels/builtin_pictures.h"

namespace vistaloom {

FrmPreview::FrmPreview(std::function<bool()> host_alive, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), host_alive_(std::move(host_alive)) {
    setWindowTitle(QStringLiteral("Vistaloom Preview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    const Surface sample = make_preview_sample();
    const QImage view(reinterpret_cast<const uchar*>(sample.pixels.data()), sample.width,
                      sample.height, static_cast<qsizetype>(sample.stride) * 4,
                      QImage::Format_RGB32);
    sample_ = QPixmap::fromImage(view.copy());
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &FrmPreview::tick);
}

void FrmPreview::start() {
    attached_ = true;
    timer_.start();
}

void FrmPreview::tick() {
    if (attached_ && host_alive_ && host_alive_()) return;
    timer_.stop();
    attached_ = false;
    ended_ = true;
    emit unloaded();
}

void FrmPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The picture keeps its size in the top-left corner; a larger host shows black around it.
    painter.fillRect(rect(), Qt::black);
    painter.drawPixmap(0, 0, sample_);
}

// The host asks us to close: let go of it and leave the ending to the timer, which also
// notices a host that simply went away. Once the preview has ended, the application's own
// closing of its windows goes through.
void FrmPreview::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    event->ignore();
    attached_ = false;
}

}  // namespace vistaloom
