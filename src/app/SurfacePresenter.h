#pragma once

#include <SDL.h>

#include "app/WindowPresenter.h"

namespace lumenreel {

// Shows the window through its own surface: on X11 shared memory the server copies from, only
// the parts that changed. The movie comes scaled inside the window picture.
class SurfacePresenter : public WindowPresenter {
public:
    explicit SurfacePresenter(SDL_Window* window) : m_window(window) {}

    bool ScalesMovie() const override { return false; }
    void Show(const CImageExt& window, const Changes& changes,
              const std::optional<CZCPlayerView::MovieLayer>& movie) override;

private:
    SDL_Window* m_window;
};

}  // namespace lumenreel
