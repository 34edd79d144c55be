#pragma once

#include <optional>
#include <vector>

#include "images/ImageExt.h"
#include "player/PlayerView.h"

namespace lumenreel {

// Shows the composed window on the screen, and the movie layer under it when the view leaves
// the scaling to whoever shows it.
class WindowPresenter {
public:
    // The parts of the window picture that changed since the last show; nothing for all of it.
    using Changes = std::optional<std::vector<Rect>>;

    virtual ~WindowPresenter() = default;
    // Whether this one scales a movie layer; the view then hands it one.
    virtual bool ScalesMovie() const = 0;
    virtual void Show(const CImageExt& window, const Changes& changes,
                      const std::optional<CZCPlayerView::MovieLayer>& movie) = 0;
};

}  // namespace lumenreel
