#pragma once
#include <QRegion>
#include <array>
#include <cstdint>

#include "pixels/draw_list.h"
#include "platform/shm_presenter.h"

namespace vistaloom {

// Composes the frames on the X server: each scene picture (background, frame being built,
// what is shown, the sheet) has a pixmap there, uploaded when it is painted anew, and a frame
// is the list of rectangle copies it names replayed as CopyArea requests between them, the
// changed rectangles then copied to the window. So a frame costs us no pixel copy at all,
// and a server that draws with the GPU copies there. Pictures painted in our memory (a
// background) go up once from shared memory; the text boxes go as small images.
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
    struct Pixmap {
        uint32_t id = 0;
        int32_t width = 0;
        int32_t height = 0;
    };
    bool pixmap_fits(int32_t width, int32_t height);
    // The pixmap of `name`, made (again) at the size its picture has in our memory now.
    uint32_t pixmap(const SceneSurfaces& surfaces, ScenePicture name);
    void replay(const PresentedPicture& picture);
    static QRegion differs_after(const SceneSurfaces& surfaces, QRegion differs, bool& reads_shown);
    void copy(uint32_t from, uint32_t to, const Rect& r, int32_t sx, int32_t sy);
    // The pixmap the window is shown from.
    uint32_t shown() const;
    void upload(const SceneSurfaces& surfaces, ScenePicture name);

    std::array<Pixmap, kScenePictures> pixmaps_{};
    // Whether the shown picture is the frame's pixmap (see replay()); else where they differ.
    // Nothing is shown before the first frame paints its background, so they start equal.
    bool shown_is_frame_ = true;
    QRegion differs_;
};

}  // namespace vistaloom
