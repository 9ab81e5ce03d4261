#pragma once
#include <QRect>
#include <QRegion>
#include <array>
#include <cstdint>
#include <vector>

#include "pixels/draw_list.h"
#include "platform/shm_presenter.h"

namespace vistaloom {

// Composes the frames on the X server: each scene picture (background, frame being built,
// what is shown, the sheet) has a pixmap there, uploaded when it is painted anew, and a frame
// is the list of rectangle copies it names replayed as CopyArea requests between them, the
// changed rectangles then copied to the window. So a frame costs us no pixel copy at all,
// and a server that draws with the GPU copies there. Pictures painted in our memory (a
// background) go up once from shared memory; the text boxes go as small images.
//
// Most frames change only the pictures' places. Those are drawn straight onto the window,
// one copy of each changed pixel instead of two (into the frame's pixmap, then onto the
// window); the frame's pixmap catches up only where it is read (an expose, a box that
// goes, the last read-back, a frame that needs it).
class XPixmapPresenter : public ShmPresenter {
  public:
    using ShmPresenter::ShmPresenter;
    ~XPixmapPresenter() override;

    const char* name() const override { return "xpixmap"; }
    // Fails where shared memory does or where the server cannot hold a window-sized pixmap.
    bool start(QWidget& window) override;
    bool composes() const override { return true; }
    void present(const PresentedPicture& picture, const QRegion& region) override;
    void paint(const PresentedPicture& picture, const QRegion& logical) override;
    void read_back(const PresentedPicture& picture) override;

  protected:
    void put_scene(const Surface& scene, const Rect& from, int32_t dx, int32_t dy) override;

  private:
    // `width` and `height` are the picture's. The sheet's pixmap holds the sheet's columns
    // one under another (`columns` of them), so that each of its pictures lies in one run of
    // the server's memory, rows 1280 bytes apart instead of with the neighbouring picture
    // between them; Xvfb copies a picture out of that about a quarter faster.
    struct Pixmap {
        uint32_t id = 0;
        int32_t width = 0;
        int32_t height = 0;
        int32_t columns = 1;
    };
    bool pixmap_fits(int32_t width, int32_t height);
    // The pixmap of `name`, made (again) at the size its picture has in our memory now.
    const Pixmap& made(const SceneSurfaces& surfaces, ScenePicture name);
    uint32_t pixmap(const SceneSurfaces& surfaces, ScenePicture name) {
        return made(surfaces, name).id;
    }
    // Carries out the listed steps; true when they went straight onto the window.
    bool replay(const PresentedPicture& picture);
    static QRegion differs_after(const SceneSurfaces& surfaces, QRegion differs, bool& reads_shown);
    static bool each_change_shown(const std::vector<DrawStep>& steps);
    void copy(uint32_t from, uint32_t to, const Rect& r, int32_t sx, int32_t sy, uint32_t gc = 0);
    // A copy out of `from` at (sx, sy) in its picture's own coordinates.
    void copy(const Pixmap& from, uint32_t to, const Rect& r, int32_t sx, int32_t sy,
              uint32_t gc = 0);

    // A part of the frame that is not the clean background: its rectangle `to` holds
    // `source` moved by (dx, dy).
    struct Piece {
        QRect to;
        ScenePicture source;
        int32_t dx = 0;
        int32_t dy = 0;
    };
    // Follows what a step does to the frame, so it can be built again from its pieces.
    void note_step(const SceneSurfaces& surfaces, const DrawStep& step);
    void cut_pieces(const QRect& cut);
    bool fits_window(const SceneSurfaces& surfaces) const;
    void draw_on_window(const PresentedPicture& picture);
    // Makes the frame's pixmap right in `where` (scene pixels).
    void bring_frame_up(const QRegion& where);
    void clip_window_drawing(const QRegion& boxes);
    // The pixmap the window is shown from.
    uint32_t shown() const;
    void upload(const SceneSurfaces& surfaces, ScenePicture name);

    std::array<Pixmap, kScenePictures> pixmaps_{};
    // Whether the shown picture is the frame's pixmap (see replay()); else where they differ.
    // Nothing is shown before the first frame paints its background, so they start equal.
    bool shown_is_frame_ = true;
    QRegion differs_;

    // The frame is the clean background with these pieces on top (none overlap), while
    // pieces_known_. The pieces are followed from the frame that took the background whole.
    std::vector<Piece> pieces_;
    bool pieces_known_ = false;
    bool main_is_shown_ = false;  // the background equals the shown picture
    // Where the frame's pixmap may lag the frame: around what went onto the window only. A
    // bound, not the exact part, so that following it costs nothing per frame.
    QRect stale_;
    // Drawing onto the window leaves the text boxes alone.
    uint32_t window_gc_ = 0;
    QRegion clipped_boxes_;
    QRegion boxes_shown_;
};

}  // namespace vistaloom
