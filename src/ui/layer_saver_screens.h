#pragma once
#include <QObject>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/wayland_layer_shell.h"
#include "ui/saver_screens.h"

namespace vistaloom {

class LayerSaverScreen;

// A full-screen run on a compositor with layer shell: an overlay surface on every output
// instead of full-screen windows, on the saver's own connection. It follows SaverScreens's
// rules (the primary output alone plays music and may leave its picture as the wallpaper, the
// run ends everywhere when input ends it anywhere, outputs plugged in or out gain or lose their
// saver), and takes the same parts.
class LayerSaverScreens : public QObject, public LayerShellListener {
    Q_OBJECT
  public:
    LayerSaverScreens(SaverScreensParts parts, std::unique_ptr<WaylandLayerShell> shell);
    ~LayerSaverScreens() override;

    void open();
    void request_stop();
    bool output_failed() const;

  signals:
    void all_unloaded();

  public:
    // LayerShellListener
    void output_added(uint32_t id) override;
    void output_removed(uint32_t id) override;
    void key_pressed(wl_surface* surface) override;
    void button_pressed(wl_surface* surface) override;
    void pointer_moved(wl_surface* surface) override;
    void connection_lost(const std::string& why) override;

  private:
    struct Entry;
    Entry* entry_for(wl_surface* surface);
    void on_ended(Entry* entry);
    void remove(Entry* entry);
    void forget(Entry* entry);
    void check_all_unloaded();

    SaverScreensParts parts_;
    std::unique_ptr<WaylandLayerShell> shell_;
    int cursor_hidden_by_ = 0;
    std::vector<std::unique_ptr<Entry>> entries_;
    int screens_numbered_ = 0;
    bool ending_ = false;
    bool finished_ = false;
    bool failed_ = false;
};

}  // namespace vistaloom
