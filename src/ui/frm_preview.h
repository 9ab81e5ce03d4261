#pragma once
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace vistaloom {

// The preview inside the display settings' little monitor: a fixed sample picture in the
// host window, nothing animated, no theme read. A 100 ms timer watches the host; when the
// host is gone or a close request arrived, the timer ends the preview. The host's X window
// counts device pixels, so inside it the preview covers exactly those at any device ratio and
// shows the picture pixel for pixel.
class FrmPreview : public QWidget {
    Q_OBJECT
  public:
    // `host_alive` answers whether the host window still exists; it is asked every tick.
    explicit FrmPreview(std::function<bool()> host_alive, QWidget* parent = nullptr);

    // Form_Load's last step: the picture is in the host, the timer starts.
    void start();
    bool attached() const { return attached_; }
    QTimer& timer() { return timer_; }

  signals:
    // The preview is over: the host went away or asked us to close.
    void unloaded();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void tick();
    void fit_to_host();

    std::function<bool()> host_alive_;
    QPixmap sample_;
    QTimer timer_;
    bool attached_ = false;
    bool ended_ = false;
};

}  // namespace vistaloom
