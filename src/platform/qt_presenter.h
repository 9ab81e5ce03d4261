#pragma once
#include "platform/presenter.h"

namespace vistaloom {

// Presents through the toolkit: the window paints the picture into its backing store, which
// the toolkit then sends to the window system. Works everywhere the toolkit does, at any
// device pixel ratio, drawing one scene pixel to one device pixel.
class QtPresenter : public Presenter {
  public:
    const char* name() const override { return "qt"; }
    bool start(QWidget& window) override;
    bool toolkit_paints() const override { return true; }
    void present(const PresentedPicture& picture, const QRegion& region) override;
    void paint(const PresentedPicture& picture, const QRegion& logical) override;

  private:
    qreal ratio() const;

    QWidget* window_ = nullptr;
};

}  // namespace vistaloom
