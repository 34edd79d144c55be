#include "app/RendererPresenter.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace lumenreel {
namespace {

struct WindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};

// The window picture's colours are premultiplied by its alpha, as Cairo draws them.
SDL_BlendMode premultipliedBlend() {
    return SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA,
                                      SDL_BLENDOPERATION_ADD, SDL_BLENDFACTOR_ONE,
                                      SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA, SDL_BLENDOPERATION_ADD);
}

// Our pictures are B, G, R(, A) bytes.
Uint32 textureFormat(const CImageExt& picture) {
    return picture.bpp() == 32 ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_BGR24;
}

std::string glRendererName() {
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int kGlRenderer = 0x1F01;
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(kGlRenderer) : nullptr;
    return name ? reinterpret_cast<const char*>(name) : "";
}

void upload(SDL_Texture* texture, const CImageExt& picture, const Rect& part) {
    if (part.width() <= 0 || part.height() <= 0)
        return;
    const PixelView pixels = picture.view();
    const SDL_Rect rect{part.left, part.top, static_cast<int>(part.width()),
                        static_cast<int>(part.height())};
    SDL_UpdateTexture(texture, &rect, pixels.row(rect.y) + rect.x * pixels.bytesPerPixel,
                      pixels.stride);
}

}  // namespace

bool hasGraphicsDevice() {
    std::error_code error;
    return std::filesystem::exists("/dev/dri", error) ||
           std::filesystem::exists("/dev/nvidia0", error);
}

std::optional<RendererFacts> probeRenderer() {
    std::unique_ptr<SDL_Window, WindowDeleter> window(
        SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS));
    if (!window)
        return std::nullopt;
    SDL_Renderer* renderer = SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_ACCELERATED);
    if (!renderer)
        return std::nullopt;
    SDL_RendererInfo info{};
    RendererFacts facts;
    if (SDL_GetRendererInfo(renderer, &info) == 0) {
        facts.accelerated = (info.flags & SDL_RENDERER_ACCELERATED) != 0;
        facts.driver = info.name ? info.name : "";
        // The OpenGL drivers leave their context current.
        if (std::string_view(facts.driver).starts_with("opengl"))
            facts.glRenderer = glRendererName();
    }
    SDL_DestroyRenderer(renderer);
    return facts;
}

std::unique_ptr<RendererPresenter> RendererPresenter::Create(SDL_Window* window) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer)
        return nullptr;
    return std::make_unique<RendererPresenter>(renderer);
}

bool RendererPresenter::fit(Texture& texture, const CImageExt& picture, SDL_BlendMode blend,
                            SDL_ScaleMode scale) {
    int width = 0, height = 0;
    Uint32 format = 0;
    if (texture && SDL_QueryTexture(texture.get(), &format, nullptr, &width, &height) == 0 &&
        width == picture.width() && height == picture.height() && format == textureFormat(picture))
        return false;
    texture.reset(SDL_CreateTexture(m_renderer.get(), textureFormat(picture),
                                    SDL_TEXTUREACCESS_STREAMING, picture.width(),
                                    picture.height()));
    if (texture) {
        // A renderer without custom blending mixes plainly: only the edges of boxes over the
        // movie come out a shade darker.
        if (SDL_SetTextureBlendMode(texture.get(), blend) != 0)
            SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(texture.get(), scale);
    }
    return true;
}

bool RendererPresenter::updateMovie(const CZCPlayerView::MovieLayer& movie) {
    const CImageExt& picture = *movie.picture;
    if (fit(m_movieTexture, picture, SDL_BLENDMODE_NONE, SDL_ScaleModeLinear)) {
        m_movieShown.Forget();
        m_movieVersion.reset();
    }
    if (!m_movieTexture || m_movieVersion == movie.version)
        return false;
    m_movieVersion = movie.version;
    bool changed = false;
    for (const Rect& part : m_movieShown.Look(picture)) {
        upload(m_movieTexture.get(), picture, part);
        changed = true;
    }
    return changed;
}

void RendererPresenter::Show(const CImageExt& window, const Changes& changes,
                             const std::optional<CZCPlayerView::MovieLayer>& movie) {
    if (window.isNull())
        return;
    const bool whole = fit(m_windowTexture, window, premultipliedBlend(), SDL_ScaleModeNearest);
    if (!m_windowTexture)
        return;
    bool redraw = whole || !changes || !changes->empty();
    if (whole || !changes)
        upload(m_windowTexture.get(), window, {0, 0, window.width(), window.height()});
    else
        for (const Rect& part : *changes)
            upload(m_windowTexture.get(), window,
                   {part.left, part.top, std::min<int>(part.right, window.width()),
                    std::min<int>(part.bottom, window.height())});
    if (movie && updateMovie(*movie))
        redraw = true;
    const std::optional<Rect> destination =
        movie ? std::optional<Rect>(movie->destination) : std::nullopt;
    if (destination != m_movieDestination)
        redraw = true;
    m_movieDestination = destination;
    if (!redraw)
        return;

    SDL_Renderer* renderer = m_renderer.get();
    int outputWidth = 0, outputHeight = 0;
    // A display with more pixels than the window's size has them in both directions.
    if (SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight) == 0)
        SDL_RenderSetScale(renderer, static_cast<float>(outputWidth) / window.width(),
                           static_cast<float>(outputHeight) / window.height());
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    if (movie && m_movieTexture) {
        const SDL_Rect place{destination->left, destination->top,
                             static_cast<int>(destination->width()),
                             static_cast<int>(destination->height())};
        SDL_RenderCopy(renderer, m_movieTexture.get(), nullptr, &place);
    }
    SDL_RenderCopy(renderer, m_windowTexture.get(), nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

}  // namespace lumenreel
