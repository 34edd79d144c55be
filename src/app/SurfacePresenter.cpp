#include "app/SurfacePresenter.h"

#include <algorithm>
#include <cstdint>

namespace lumenreel {

void SurfacePresenter::Show(const CImageExt& picture, const Changes& changes,
                            const std::optional<CZCPlayerView::MovieLayer>& /*movie*/) {
    if (changes && changes->empty())
        return;
    // Asked again each time: a resize replaces the surface.
    SDL_Surface* surface = SDL_GetWindowSurface(m_window);
    if (picture.isNull() || !surface || SDL_LockSurface(surface) != 0)
        return;
    const int width = std::min(picture.width(), surface->w);
    const int height = std::min(picture.height(), surface->h);
    std::vector<SDL_Rect> rects;
    if (!changes)
        rects.push_back({0, 0, width, height});
    else
        for (const Rect& part : *changes) {
            const int right = std::min<int>(part.right, width);
            const int bottom = std::min<int>(part.bottom, height);
            if (right > part.left && bottom > part.top)
                rects.push_back({part.left, part.top, right - part.left, bottom - part.top});
        }
    // Pictures are B, G, R, A bytes: ARGB8888 in SDL's words.
    const PixelView pixels = picture.view();
    const int surfaceBytes = surface->format->BytesPerPixel;
    for (const SDL_Rect& rect : rects)
        SDL_ConvertPixels(rect.w, rect.h, SDL_PIXELFORMAT_ARGB8888, pixels.row(rect.y) + rect.x * 4,
                          pixels.stride, surface->format->format,
                          static_cast<std::uint8_t*>(surface->pixels) +
                              static_cast<std::ptrdiff_t>(rect.y) * surface->pitch +
                              rect.x * surfaceBytes,
                          surface->pitch);
    SDL_UnlockSurface(surface);
    if (!changes)
        SDL_UpdateWindowSurface(m_window);
    else if (!rects.empty())
        SDL_UpdateWindowSurfaceRects(m_window, rects.data(), static_cast<int>(rects.size()));
}

}  // namespace lumenreel
