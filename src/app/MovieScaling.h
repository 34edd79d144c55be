#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lumenreel {

// Who scales the movie to full screen or a fitted window: our resampler on the processor (exact,
// and what the tests see), or the window's renderer on a graphics card.
enum class MovieScaling { Processor, Renderer };

// What the user asked for (LUMENREEL_SCALING): cpu, gpu, or by the machine when unset or auto.
enum class ScalingRequest { Automatic, Processor, Renderer };
// Nothing for text that names none of them.
std::optional<ScalingRequest> parseScalingRequest(std::string_view text);

// What SDL says of a renderer made for a window.
struct RendererFacts {
    bool accelerated = false;  // SDL_RENDERER_ACCELERATED
    std::string driver;        // SDL's name for it: "opengl", "opengles2", "software", ...
    std::string glRenderer;    // GL_RENDERER, for the OpenGL drivers
};

// A renderer drawn by a graphics card. OpenGL drivers call themselves accelerated even over
// Mesa's rasterisers on the processor, which scale slower than our resampler.
bool isHardwareRenderer(const RendererFacts& renderer);

// The choice for the request, on a machine with a graphics device (or not), asking for the
// renderer's facts only when they matter; the probe gives nothing when no renderer can be made.
// Asked for, the renderer is used whatever draws it, so it can be tried without a card.
MovieScaling chooseMovieScaling(ScalingRequest request, bool hasGraphicsDevice,
                                const std::function<std::optional<RendererFacts>()>& probe);

}  // namespace lumenreel
