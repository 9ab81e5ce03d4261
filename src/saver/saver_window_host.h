#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pixels/surface.h"

namespace vistaloom {

// Size of one of the window's text boxes, in pixels.
struct BoxSize {
    int32_t width = 0;
    int32_t height = 0;
};

// What a saver session asks of the window that shows it. The session owns every decision;
// the window only carries them out, so the whole run can be driven without a display.
// Every position and size is in pixels of the window's inner area.
class SaverWindowHost {
  public:
    virtual ~SaverWindowHost() = default;

    // The inner (client) area. A window that is not mapped yet may report 0 x 0.
    virtual int32_t inner_width_px() = 0;
    virtual int32_t inner_height_px() = 0;
    // Device pixels per logical pixel of the screen the window is on.
    virtual double device_ratio_of_screen() { return 1.0; }
    // The scene's area: the inner area, unless the window shows part of a scene larger than
    // itself (one scene across several screens); `left` and `top` are where the inner area
    // starts in it.
    struct SceneArea {
        int32_t width = 0;
        int32_t height = 0;
        int32_t left = 0;
        int32_t top = 0;
    };
    virtual SceneArea scene_area_px() { return {inner_width_px(), inner_height_px(), 0, 0}; }
    virtual bool is_maximised() = 0;
    virtual void maximise() = 0;

    // The clock line at the top.
    virtual BoxSize time_box_size() = 0;
    virtual void move_time_box(int32_t left, int32_t top) = 0;
    virtual void set_time_box_visible(bool visible) = 0;
    virtual void set_time_box_text(const std::string& text) = 0;

    // The information line along the bottom; show_info_box also brings it to the front.
    virtual BoxSize info_box_size() = 0;
    virtual void move_info_box(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
    virtual void set_info_box_text(const std::string& text) = 0;
    virtual void show_info_box() = 0;

    virtual void make_topmost() = 0;

    // The scene's first picture, before the run has set up anything that takes time or
    // memory: `paint_rows` paints rows [top, top + band height) of it into `band`, a surface
    // as wide as the scene. It sits where `ascreen` will (scene_area_px, centred).
    struct StartPicture {
        int32_t width = 0;
        int32_t height = 0;
        std::function<void(Surface& band, int32_t top)> paint_rows;
    };
    // A window that can put a picture on the screen a band at a time shows it now; the
    // frames that follow start from the same picture, so nothing changes when they come.
    virtual void show_start_picture(const StartPicture&) {}

    // `ascreen` changed: only these rectangles (in ascreen's own coordinates), or all of it.
    virtual void repaint(const std::vector<Rect>& rects) = 0;
    virtual void repaint_all() = 0;
    // `ascreen` is brought up to date with what the window shows, for a picture made of it:
    // where the frame is composed elsewhere (SceneSurfaces::composed_elsewhere), or where
    // `ascreen` is drawn in buffers that are brought up to date only as far as a frame needs.
    virtual void read_back_picture() {}

    // Call the session's step() once `delay_ms` milliseconds from now have passed (0: as
    // soon as the event loop is free), and schedule again what it returns. The session asks
    // for this itself only to start the loop or to wake it (input ended the run, the window
    // came back into view). A later request replaces an earlier one. Must never call back
    // from inside this call.
    virtual void schedule_frame(int64_t delay_ms) = 0;

    // The run is over and the session has cleaned up: the window goes away.
    virtual void unload() = 0;

    // Native handle handed to the system's password dialog as its owner (0 when none).
    virtual int64_t window_handle() = 0;
};

}  // namespace vistaloom
