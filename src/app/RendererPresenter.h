#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "app/MovieScaling.h"
#include "app/WindowPresenter.h"
#include "player/FrameChanges.h"

namespace lumenreel {

// Whether the machine shows a graphics device (a DRM node or NVIDIA's) a renderer could use.
bool hasGraphicsDevice();
// What a renderer made for a window would be, from a hidden window of its own; nothing when
// none can be made.
std::optional<RendererFacts> probeRenderer();

// Shows the window through SDL's renderer: the movie picture at its own size in a texture the
// renderer scales into place (smoothly), the window picture over it, clear where the movie shows.
// Only the parts that changed go to the textures.
class RendererPresenter : public WindowPresenter {
public:
    // Nothing when the window gets no renderer.
    static std::unique_ptr<RendererPresenter> Create(SDL_Window* window);
    // Owns the renderer.
    explicit RendererPresenter(SDL_Renderer* renderer) : m_renderer(renderer) {}

    bool ScalesMovie() const override { return true; }
    void Show(const CImageExt& window, const Changes& changes,
              const std::optional<CZCPlayerView::MovieLayer>& movie) override;

private:
    struct RendererDeleter {
        void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
    };
    struct TextureDeleter {
        void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
    };
    using Texture = std::unique_ptr<SDL_Texture, TextureDeleter>;

    // Makes the texture again unless it has that size and form; true when it did.
    bool fit(Texture& texture, const CImageExt& picture, SDL_BlendMode blend, SDL_ScaleMode scale);
    // True when any part of the movie changed.
    bool updateMovie(const CZCPlayerView::MovieLayer& movie);

    std::unique_ptr<SDL_Renderer, RendererDeleter> m_renderer;
    Texture m_windowTexture;
    Texture m_movieTexture;
    // The movie picture as the texture holds it, to send only what a new moment changed.
    FrameChanges m_movieShown;
    std::optional<std::uint64_t> m_movieVersion;
    std::optional<Rect> m_movieDestination;
};

}  // namespace lumenreel
