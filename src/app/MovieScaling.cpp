#include "app/MovieScaling.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace lumenreel {
namespace {

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

}  // namespace

std::optional<ScalingRequest> parseScalingRequest(std::string_view text) {
    const std::string name = lowered(text);
    if (name.empty() || name == "auto")
        return ScalingRequest::Automatic;
    if (name == "cpu")
        return ScalingRequest::Processor;
    if (name == "gpu")
        return ScalingRequest::Renderer;
    return std::nullopt;
}

bool isHardwareRenderer(const RendererFacts& renderer) {
    if (!renderer.accelerated || renderer.driver == "software")
        return false;
    // Mesa's rasterisers on the processor, by the names they give GL_RENDERER.
    constexpr std::array kOnProcessor{"llvmpipe", "softpipe", "swrast", "software"};
    const std::string name = lowered(renderer.glRenderer);
    return std::none_of(kOnProcessor.begin(), kOnProcessor.end(),
                        [&](const char* word) { return name.find(word) != std::string::npos; });
}

MovieScaling chooseMovieScaling(ScalingRequest request, bool hasGraphicsDevice,
                                const std::function<std::optional<RendererFacts>()>& probe) {
    if (request == ScalingRequest::Processor ||
        (request == ScalingRequest::Automatic && !hasGraphicsDevice))
        return MovieScaling::Processor;
    const std::optional<RendererFacts> renderer = probe();
    if (!renderer)
        return MovieScaling::Processor;
    if (request == ScalingRequest::Renderer || isHardwareRenderer(*renderer))
        return MovieScaling::Renderer;
    return MovieScaling::Processor;
}

}  // namespace lumenreel
