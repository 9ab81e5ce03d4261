#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pixels/gradient_rect.h"
#include "pixels/picture_source.h"
#include "pixels/scene_surfaces.h"
#include "saver/input_rules.h"
#include "saver/music_player.h"
#include "sprites/scene.h"
#include "sprites/sprite_model.h"
#include "startup/run_settings.h"
#include "startup/run_state.h"
#include "theme_files/theme_items.h"

namespace vistaloom {

class Clock;
class Desktop;
class MediaDevice;
class RandomSource;
class RawRegistry;
class SaverWindowHost;
class UserFolders;
struct SaverSettings;
struct StartupValues;

// The platform services one session talks to.
struct SaverSeams {
    Clock& clock;
    RandomSource& random;
    Desktop& desktop;
    MediaDevice& media;
    RawRegistry& registry;
    UserFolders& folders;
};

struct SaverSessionOptions {
    // Drawn inside a window that belongs to someone else (a screen-saver daemon's window or
    // the root window). The host owns input, the cursor, the stacking order and locking the
    // screen, so keys and the mouse do not end the run, the cursor is left alone, the window
    // is not raised and no password is asked; the host ends the run with a stop request.
    bool embedded = false;
    // End the run after this many frames, as a key press would (0: no limit).
    int64_t max_frames = 0;
    // Write the frame-rate line into the information box every frame.
    bool show_fps = false;
    // Appended to the frame-rate line: how frames reach the screen (empty: nothing).
    std::string presentation;
    // Names the wallpaper file: <executable_name>_wallpaper.bmp.
    std::string executable_name = "vistaloom";
    // Where the pictures come from (not owned; it outlives the session). None: the active
    // theme's sheet.
    PictureSource* pictures = nullptr;
    // The desktop asks for less animation (read by the caller; the setting decides).
    bool desktop_reduces_motion = false;
};

// One run of the saver window, from its first activation to its unload, without the window
// itself: the window (SaverWindowHost) shows what the session decides and routes input and
// close requests to it. Every piece of run-time state lives here, so two sessions in one
// process (one per monitor) share nothing but the settings record.
//
// The session never waits and never runs an event loop of its own. Like a screen hack's draw
// callback, step() makes one frame and returns when it wants to be called again; the window
// schedules that call. Input and close requests are plain calls that only change state and,
// when they end the run, ask the window for the next step at once
// (SaverWindowHost::schedule_frame). So any number of sessions share one thread fairly.
class SaverSession {
  public:
    SaverSession(SaverSettings& settings, const StartupValues& startup, SaverSeams seams,
                 SaverWindowHost& host, SaverSessionOptions options = {});
    SaverSession(const SaverSession&) = delete;
    SaverSession& operator=(const SaverSession&) = delete;

    // Window events, in the order the window sees them. Form_Activate sets the run up the
    // first time (and asks for the first frame at once); later activations do nothing.
    void Form_Load();
    void Form_Activate();
    // One step of the frame loop, called by the window when the step it scheduled is due:
    // finishes the previous frame's wait, then either composes and presents the next frame
    // or, once the run is over, unloads (Form_Unload). Returns the milliseconds until the next
    // step is due (0: at once), or kNoFrame once the run has unloaded or is not running. A call
    // that comes early (before the frame has lasted long enough) only returns the time left.
    static constexpr int64_t kNoFrame = -1;
    int64_t step();
    // Whether anybody can see the window: false while it is unmapped, minimised, wholly
    // covered, or inside a host window that is not shown. While nobody can see it (or the
    // display is off, or the machine is on its battery with still_on_battery set) the session
    // draws nothing and wakes only every few seconds for the music and the power state; the
    // scene timer counts only the time shown, and the first frame after is a full repaint.
    void set_shown(bool shown);
    bool paused() const { return paused_; }

    // A request to close the window. Returns true when the close must be cancelled: while
    // the run is being set up or the loop runs, the loop ends the run itself and unloads.
    bool Form_QueryUnload();
    // Termination signals and the window manager's close button behave like a close request.
    bool request_stop() { return Form_QueryUnload(); }

    // The steps Form_Activate runs, in its order. main_loop starts the frame loop; the frame
    // step that finds the run over calls Form_Unload, which cleans up and then asks the
    // window to go: the window never calls it itself.
    void init_saver();
    void get_module();
    void main_loop();
    void Form_Unload();

    // The information line: "N Frames Per Second | Sprites on screen = M[ | text]".
    void ibox(const std::string& text);

    // Input, routed from the window and from the picture it shows.
    void key_press();
    void mouse_down();
    void mouse_move();

    void play_next_track();
    void play_music_file(const std::string& path);
    void stop_music();
    void MMControl1_StatusUpdate();

    // For the window and for tests.
    const RunSettings& run_settings() const { return run_settings_; }
    const RunState& run() const { return run_; }
    RunState& run() { return run_; }
    const SceneSurfaces& surfaces() const { return surfaces_; }
    SceneSurfaces& surfaces() { return surfaces_; }
    const SpriteTables& tables() const { return tables_; }
    const ThemeItems& items() const { return items_; }
    Scene& scene() { return scene_; }
    const std::string& saved_module() const { return saved_module_; }
    int32_t platform_id() const { return platform_id_; }
    int64_t frames_drawn() const { return frames_drawn_; }
    bool unloaded() const { return phase_ == Phase::Unloaded; }
    // The time line "hh:mm:ss AM" for a time of day, with the locale's designators.
    static std::string time_text(int hour, int minute, int second, const std::string& am,
                                 const std::string& pm);

  private:
    enum class Phase { Loaded, SettingUp, Running, Unloaded };

    // Cursor, password flag, "screen saver running" and the topmost placement belong to a
    // run that owns the screen: not to a preview, not inside someone else's window.
    bool owns_screen() const;
    bool password_applies() const;
    void end_run();
    // Input or a close request ended the run: the frame's wait ends at once.
    void wake_if_stopped();
    bool finish_frame_wait(int64_t& wait_ms);
    void update_pause(bool poll_power);
    int64_t paused_step();
    bool password_gate();
    int64_t compose_and_present();
    // The scene changed and no picture is on screen: the source may give the next set.
    void next_pictures();
    PictureSource& pictures();
    // The source's first pictures, or the theme's when it has none.
    void load_first_pictures();
    // The sheet (and the no-theme picture) at the screen's scale, after its borders.
    void scale_pictures();
    void repaint_changes();
    void music_step();
    void show_time_of_day();
    void save_last_screen();

    SaverSettings& settings_;
    const StartupValues& startup_;
    SaverSeams seams_;
    SaverWindowHost& host_;
    SaverSessionOptions options_;

    RunSettings run_settings_;
    RunState run_;
    ThemeItems items_;
    SceneSurfaces surfaces_;
    SpriteTables tables_;
    clsGradient gradient_;
    Scene scene_;
    std::vector<std::string> custom_music_list_;  // positions from 1; nothing fills it yet
    MusicContext music_;
    ThemeSheetPictures theme_pictures_;

    Phase phase_ = Phase::Loaded;
    int32_t setup_done_ = 0;
    bool stop_pending_ = false;
    bool frame_open_ = false;  // a frame was presented and its wait has not ended
    bool timers_due_ = false;  // the loop (re)starts: music and scene timers begin now
    bool shown_ = true;
    bool display_on_ = true;
    bool still_for_battery_ = false;
    bool paused_ = false;
    int64_t paused_since_tick_ = 0;
    int64_t power_check_tick_ = INT64_MIN;
    std::string saved_module_;
    int32_t platform_id_ = 2;
    MouseWindow mouse_window_;
    int64_t frame_start_tick_ = 0;
    int64_t frame_end_tick_ = 0;
    int64_t music_check_tick_ = 0;
    int64_t music_now_tick_ = 0;
    int64_t frames_drawn_ = 0;
    std::string time_box_text_;
    int32_t time_box_second_ = -1;  // of the day, when the text was last made
    std::string am_text_;
    std::string pm_text_;
};

}  // namespace vistaloom
