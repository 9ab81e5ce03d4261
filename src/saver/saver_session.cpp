#include "saver/saver_session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "compose/background_setup.h"
#include "compose/draw_pass.h"
#include "compose/frame.h"
#include "compose/frame_passes.h"
#include "ground/clock.h"
#include "ground/desktop.h"
#include "ground/numeric_text.h"
#include "ground/random_source.h"
#include "ground/rounding.h"
#include "pixels/builtin_pictures.h"
#include "pixels/picture_scaling.h"
#include "saver/frame_pacing.h"
#include "saver/saver_window_host.h"
#include "saver/wallpaper.h"
#include "sprites/scene_change.h"
#include "sprites/scene_step.h"
#include "sprites/sprite_setup.h"
#include "startup/saver_settings.h"
#include "startup/settings_store.h"
#include "startup/startup_values.h"
#include "theme_files/theme_choice.h"
#include "theme_files/theme_files.h"

namespace vistaloom {

namespace {

constexpr int64_t kMusicCheckIntervalMs = 2000;
// How often the display's power state and the power supply are asked, while drawing and
// while paused. Asking is cheap, but a paused saver must not wake up often: every wake-up
// costs power on a machine whose screen nobody looks at.
constexpr int64_t kPowerCheckIntervalMs = 2000;
constexpr int32_t kPlatformNt = 2;
constexpr const char* kDesktopKey = "Control Panel\\Desktop";

int16_t to_int16(int32_t value) {
    return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

}  // namespace

SaverSession::SaverSession(SaverSettings& settings, const StartupValues& startup, SaverSeams seams,
                           SaverWindowHost& host, SaverSessionOptions options)
    : settings_(settings),
      startup_(startup),
      seams_(seams),
      host_(host),
      options_(std::move(options)),
      gradient_(&seams.desktop),
      scene_{run_settings_, run_, tables_, surfaces_, seams.random, seams.clock, gradient_},
      music_{run_, settings_, seams.random, custom_music_list_,
             [this](int32_t item) {
                 return extract_theme_item(items_, startup_.install_path + settings_.active_module,
                                           item);
             }},
      theme_pictures_(items_, startup_.install_path, settings_.active_module),
      platform_id_(startup.platform_id) {}

bool SaverSession::owns_screen() const {
    return !startup_.config_preview && !options_.embedded;
}

bool SaverSession::password_applies() const {
    return owns_screen() && platform_id_ != kPlatformNt && run_.use_password != 0;
}

void SaverSession::Form_Load() {
    setup_done_ = 0;
}

void SaverSession::Form_Activate() {
    if (setup_done_ == 1 || phase_ != Phase::Loaded) return;
    setup_done_ = 1;
    phase_ = Phase::SettingUp;
    if (!host_.is_maximised()) host_.maximise();
    if (owns_screen()) {
        run_.use_password = to_int16(numeric_int(read_registry_value(
            seams_.registry, HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveUsePassword")));
        platform_id_ = seams_.desktop.platform_id();
        if (password_applies()) seams_.desktop.set_screen_saver_running(true);
        hide_cursor_fully(seams_.desktop);
    }
    init_saver();

    const int32_t inner_w = host_.inner_width_px();
    const int32_t inner_h = host_.inner_height_px();
    const BoxSize time_box = host_.time_box_size();
    host_.move_time_box(round_to_int(inner_w / 2.0 - time_box.width / 2.0), 0);
    if (run_settings_.show_time) host_.set_time_box_visible(true);
    const BoxSize info_box = host_.info_box_size();
    host_.move_info_box(0, inner_h - info_box.height, inner_w, info_box.height);
    if (owns_screen()) host_.make_topmost();
    main_loop();
}

void SaverSession::init_saver() {
    // The run reads its settings here, once; the frame path uses only the resolved values.
    run_settings_ = resolve_run_settings(
        settings_, DisplayFacts{host_.device_ratio_of_screen(), options_.desktop_reduces_motion});
    pick_first_track(run_, settings_, seams_.random);
    saved_module_ = settings_.active_module;
    get_module();
    // The hidden picture form: its two built-in pictures.
    surfaces_.no_mods = make_no_mods_picture();
    surfaces_.border = make_border_picture();
    init_run_state(run_, run_settings_, seams_.random);
    const SaverWindowHost::SceneArea area = host_.scene_area_px();
    choose_start_background(scene_, area.width, area.height);
    // On a large screen the scene's pictures take longer to make than the rest of the start:
    // the background goes up first, the pictures and the first frame follow.
    host_.show_start_picture(
        {surfaces_.scene_width, surfaces_.scene_height,
         [this](Surface& band, int32_t top) { paint_start_rows(scene_, band, top); }});
    load_first_pictures();
    fill_start_background(scene_);
    setup_sprites(scene_);
    scale_pictures();
    // With their borders, which the sprite set-up draws, and at the scene's scale.
    mark_painted(surfaces_, ScenePicture::Sheet);
    mark_painted(surfaces_, ScenePicture::NoMods);
}

void SaverSession::scale_pictures() {
    const int32_t k = run_settings_.picture_scale;
    if (k <= 1) return;
    surfaces_.sprite = scale_sheet(surfaces_.sprite, k);
    if (run_.no_themes == 1) surfaces_.no_mods = scale_picture(surfaces_.no_mods, k);
}

void SaverSession::get_module() {
    const ThemeListing listing = list_themes(startup_.install_path, settings_.active_module);
    if (listing.names.empty()) {
        run_.no_themes = 1;
        return;
    }
    run_.no_themes = 0;
    // Only in memory: a missing theme must not change what the user chose.
    if (!listing.active_found) settings_.random_theme = "1";
    if (listing.active_found) {
        // For this run only: the files are named "Sports" though "sports" was chosen.
        // saved_module brings back the stored spelling at unload.
        settings_.active_module = listing.active_name;
    }
    if (is_one(settings_.random_theme)) {
        const auto count = static_cast<int32_t>(listing.names.size());
        const int32_t n = random_position(seams_.random, count);
        settings_.active_module = listing.names[static_cast<size_t>(n - 1)];
    }
    read_theme_info(items_, startup_.install_path + settings_.active_module, seams_.folders);
    run_.music_count = items_.music_count;
}

void SaverSession::main_loop() {
    phase_ = Phase::Running;
    run_.loop_active = true;
    run_.keep_running = true;
    // A close request that came while the run was being set up ends it before any frame.
    if (stop_pending_) run_.keep_running = false;
    timers_due_ = true;
    frame_open_ = false;
    host_.schedule_frame(0);
}

int64_t SaverSession::step() {
    if (phase_ != Phase::Running) return kNoFrame;
    if (run_.keep_running) {
        update_pause(true);
        if (paused_) return paused_step();
    }
    if (frame_open_) {
        int64_t wait_ms = 0;
        if (!finish_frame_wait(wait_ms)) return wait_ms;
    }
    if (!run_.keep_running) {
        if (!password_gate()) {
            run_.loop_active = false;
            Form_Unload();
            return kNoFrame;
        }
        timers_due_ = true;
    }
    if (timers_due_) {
        const int64_t now = seams_.clock.tick_ms();
        music_check_tick_ = now;
        run_.scene_start_tick = now;
        timers_due_ = false;
    }
    return compose_and_present();
}

// The wait of the frame presented last: over once the frame has lasted long enough for the
// frame rate, or at once when the run was stopped meanwhile (input must not wait for the
// frame to end). A call that comes too early reports false and how long is left.
bool SaverSession::finish_frame_wait(int64_t& wait_ms) {
    const int32_t rate = run_settings_.frame_rate;
    int64_t end = seams_.clock.tick_ms();
    if (end <= frame_start_tick_) end = frame_start_tick_ + 1;
    if (run_.keep_running && !frame_long_enough(frame_start_tick_, end, rate)) {
        wait_ms = frame_start_tick_ + min_frame_ms(rate) - end;
        return false;
    }
    frame_open_ = false;
    frame_end_tick_ = end;
    run_.current_fps = static_cast<int32_t>(
        std::min<int64_t>(frame_rate_for(frame_end_tick_ - frame_start_tick_), INT32_MAX));
    if (options_.show_fps) ibox(options_.presentation);
    return true;
}

// The run was stopped. Where the system asks for the password, a refused one resumes the run
// with fresh timers (true); otherwise the run is over (false).
bool SaverSession::password_gate() {
    if (!password_applies()) return false;
    show_cursor_for_password(seams_.desktop);
    if (seams_.desktop.verify_screen_save_password(host_.window_handle()) != 0) return false;
    hide_cursor_fully(seams_.desktop);
    run_.keep_running = true;
    return true;
}

int64_t SaverSession::compose_and_present() {
    frame_start_tick_ = seams_.clock.tick_ms();
    const FrameCopies copies = scene_frame(scene_);
    repaint_changes();
    if (copies.background_changes > 0) next_pictures();
    // The player reports its state only when asked.
    MMControl1_StatusUpdate();
    music_step();
    if (run_settings_.update_time) show_time_of_day();
    ++frames_drawn_;
    if (options_.max_frames > 0 && frames_drawn_ == options_.max_frames) end_run();
    frame_open_ = true;
    if (!run_.keep_running) return 0;
    const int64_t now = seams_.clock.tick_ms();
    const int64_t deadline = frame_start_tick_ + min_frame_ms(run_settings_.frame_rate);
    return deadline > now ? deadline - now : 0;
}

PictureSource& SaverSession::pictures() {
    return options_.pictures ? *options_.pictures : theme_pictures_;
}

void SaverSession::load_first_pictures() {
    if (!options_.pictures) {
        theme_pictures_.load_first(surfaces_);
        return;
    }
    if (!options_.pictures->load_first(surfaces_)) {
        options_.pictures = nullptr;
        theme_pictures_.load_first(surfaces_);
        return;
    }
    // The pictures are the source's own, whether or not a theme is installed; a theme's music
    // belongs to its pictures, so it stays off with them.
    run_.no_themes = 0;
    run_.music_count = 0;
}

void SaverSession::next_pictures() {
    if (!pictures().take_next(surfaces_.sprite)) return;
    if (run_settings_.borders_on) frame_sheet_cells(surfaces_.sprite, surfaces_.border);
    scale_pictures();
    mark_painted(surfaces_, ScenePicture::Sheet);
}

void SaverSession::set_shown(bool shown) {
    if (shown_ == shown) return;
    shown_ = shown;
    if (phase_ != Phase::Running || !run_.keep_running) return;
    const bool was_paused = paused_;
    update_pause(false);
    // Back in view: the next frame is due at once, and it repaints everything.
    if (was_paused && !paused_) host_.schedule_frame(0);
}

void SaverSession::update_pause(bool poll_power) {
    const int64_t now = seams_.clock.tick_ms();
    if (poll_power &&
        (power_check_tick_ == INT64_MIN || now - power_check_tick_ >= kPowerCheckIntervalMs)) {
        power_check_tick_ = now;
        display_on_ = seams_.desktop.display_on();
        still_for_battery_ = run_settings_.still_on_battery && seams_.desktop.on_battery();
    }
    const bool pause_due = !shown_ || !display_on_ || still_for_battery_;
    if (pause_due && !paused_) {
        paused_ = true;
        paused_since_tick_ = now;
        // The frame on screen is complete; its wait no longer matters.
        frame_open_ = false;
    } else if (!pause_due && paused_) {
        paused_ = false;
        // Only shown time counts towards the next scene change.
        if (now > paused_since_tick_) run_.scene_start_tick += now - paused_since_tick_;
        // Whatever covered the window may have left nothing of the picture.
        surfaces_.ascreen_repainted = true;
    }
}

// While paused only the music goes on (a track that ends is followed by the next), and the
// power state is asked again, both at the music step's own pace.
int64_t SaverSession::paused_step() {
    MMControl1_StatusUpdate();
    music_step();
    return kPowerCheckIntervalMs;
}

void SaverSession::wake_if_stopped() {
    if (phase_ == Phase::Running && !run_.keep_running) host_.schedule_frame(0);
}

void SaverSession::repaint_changes() {
    if (surfaces_.ascreen_repainted) {
        host_.repaint_all();
    } else if (!surfaces_.presented.empty()) {
        host_.repaint(surfaces_.presented);
    }
    surfaces_.presented.clear();
    surfaces_.ascreen_written.clear();
    surfaces_.ascreen_repainted = false;
    surfaces_.ascreen_painted = false;
}

void SaverSession::music_step() {
    music_now_tick_ = seams_.clock.tick_ms();
    if (music_now_tick_ < music_check_tick_ + 1) music_now_tick_ = music_check_tick_ + 1;
    if (music_now_tick_ - music_check_tick_ > kMusicCheckIntervalMs && !run_settings_.mute_audio) {
        play_next_track();
        music_check_tick_ = seams_.clock.tick_ms();
    }
}

std::string SaverSession::time_text(int hour, int minute, int second, const std::string& am,
                                    const std::string& pm) {
    int hour12 = hour % 12;
    if (hour12 == 0) hour12 = 12;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d ", hour12, minute, second);
    return text + (hour < 12 ? am : pm);
}

void SaverSession::show_time_of_day() {
    const TimeOfDay now = seams_.clock.time_of_day();
    if (am_text_.empty() && pm_text_.empty()) {
        // The locale does not change during a run; asking once keeps the frame cheap.
        am_text_ = seams_.desktop.time_designator(false);
        pm_text_ = seams_.desktop.time_designator(true);
    }
    // The text changes once a second; the frames in between neither make it nor send it.
    const int32_t second = (now.hour * 60 + now.minute) * 60 + now.second;
    if (second == time_box_second_) return;
    time_box_second_ = second;
    std::string text = time_text(now.hour, now.minute, now.second, am_text_, pm_text_);
    if (text == time_box_text_) return;
    time_box_text_ = std::move(text);
    host_.set_time_box_text(time_box_text_);
}

void SaverSession::ibox(const std::string& text) {
    std::string line = std::to_string(run_.current_fps) + " Frames Per Second | " +
                       "Sprites on screen = " +
                       std::to_string(count_active_sprites(tables_, run_settings_.sprite_active));
    if (!text.empty()) line += " | " + text;
    host_.set_info_box_text(line);
    host_.show_info_box();
}

void SaverSession::end_run() {
    if (run_.loop_active) run_.keep_running = false;
}

void SaverSession::key_press() {
    if (options_.embedded) return;
    accept_key_or_click(run_);
    wake_if_stopped();
}

void SaverSession::mouse_down() {
    if (options_.embedded) return;
    accept_key_or_click(run_);
    wake_if_stopped();
}

void SaverSession::mouse_move() {
    if (options_.embedded || !run_.loop_active) return;
    count_mouse_move(run_, mouse_window_, run_settings_.mouse_sensitivity,
                     seams_.clock.time_of_day().seconds_since_midnight);
    wake_if_stopped();
}

bool SaverSession::Form_QueryUnload() {
    run_.mouse_move_count = 0;
    switch (phase_) {
        case Phase::Running:
            // The frame step that comes next finishes the run and unloads.
            if (run_.loop_active) run_.keep_running = false;
            wake_if_stopped();
            return true;
        case Phase::SettingUp:
            // The loop the set-up leads to ends the run as soon as it starts.
            stop_pending_ = true;
            return true;
        case Phase::Loaded:
            // Closed before it was ever activated: nothing was set up, so nothing needs
            // undoing, and a late activation must not start a run on a closed window.
            phase_ = Phase::Unloaded;
            return false;
        case Phase::Unloaded:
            return false;
    }
    return false;
}

void SaverSession::Form_Unload() {
    phase_ = Phase::Unloaded;
    stop_music();
    if (run_settings_.save_wallpaper) save_last_screen();
    // The hidden picture form goes; `ascreen` stays with the window until it closes.
    surfaces_.work = Surface();
    surfaces_.main = Surface();
    surfaces_.sprite = Surface();
    surfaces_.no_mods = Surface();
    surfaces_.border = Surface();
    if (owns_screen()) {
        show_cursor_at_unload(seams_.desktop);
        if (password_applies()) seams_.desktop.set_screen_saver_running(false);
    }
    remove_temp_items(items_);
    settings_.active_module = saved_module_;
    host_.unload();
}

void SaverSession::save_last_screen() {
    if (!run_settings_.objects_off) {
        restore_background(surfaces_.frame(), surfaces_.main, scene_);
        uncover_remnants(scene_);
        draw_sprites(surfaces_.frame(), surfaces_.sprite, scene_);
    }
    present_frame(surfaces_.ascreen, surfaces_.frame(), scene_);
    repaint_changes();
    host_.read_back_picture();
    WallpaperSeams seams{seams_.registry, seams_.desktop, seams_.folders};
    // A failure leaves the desktop as it was; the run still ends normally.
    save_as_wallpaper(surfaces_.ascreen, kWallpaperStretched,
                      options_.executable_name + "_wallpaper.bmp", seams);
}

void SaverSession::play_next_track() {
    vistaloom::play_next_track(music_, seams_.media);
}

void SaverSession::play_music_file(const std::string& path) {
    vistaloom::play_music_file(music_, path, seams_.media);
}

void SaverSession::stop_music() {
    vistaloom::stop_music(music_, seams_.media);
}

void SaverSession::MMControl1_StatusUpdate() {
    vistaloom::MMControl1_StatusUpdate(music_, seams_.media);
}

}  // namespace vistaloom
