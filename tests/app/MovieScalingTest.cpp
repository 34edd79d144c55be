#include <gtest/gtest.h>

#include "app/MovieScaling.h"

namespace lumenreel::test {
namespace {

const RendererFacts kCard{true, "opengl", "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"};
const RendererFacts kLlvmpipe{true, "opengl", "llvmpipe (LLVM 15.0.6, 256 bits)"};
const RendererFacts kSoftpipe{true, "opengles2", "softpipe"};
const RendererFacts kSdlSoftware{false, "software", ""};

TEST(MovieScalingTest, RequestsReadAsWrittenAndOthersAreRefused) {
    EXPECT_EQ(parseScalingRequest(""), ScalingRequest::Automatic);
    EXPECT_EQ(parseScalingRequest("auto"), ScalingRequest::Automatic);
    EXPECT_EQ(parseScalingRequest("CPU"), ScalingRequest::Processor);
    EXPECT_EQ(parseScalingRequest("gpu"), ScalingRequest::Renderer);
    EXPECT_EQ(parseScalingRequest("fast"), std::nullopt);
}

TEST(MovieScalingTest, OnlyAGraphicsCardCountsAsHardware) {
    EXPECT_TRUE(isHardwareRenderer(kCard));
    EXPECT_TRUE(isHardwareRenderer({true, "opengles2", "Mali-G610"}));
    EXPECT_FALSE(isHardwareRenderer(kLlvmpipe));
    EXPECT_FALSE(isHardwareRenderer(kSoftpipe));
    EXPECT_FALSE(isHardwareRenderer({true, "opengl", "Software Rasterizer"}));
    EXPECT_FALSE(isHardwareRenderer(kSdlSoftware));
    EXPECT_FALSE(isHardwareRenderer({false, "opengl", "Mali-G610"}));
}

TEST(MovieScalingTest, TheChoiceFollowsRequestDeviceAndRenderer) {
    struct Case {
        ScalingRequest request;
        bool device;
        std::optional<RendererFacts> renderer;
        MovieScaling expected;
        bool probed;
    };
    using R = ScalingRequest;
    using S = MovieScaling;
    const Case cases[] = {
        {R::Automatic, true, kCard, S::Renderer, true},
        {R::Automatic, true, kLlvmpipe, S::Processor, true},
        {R::Automatic, true, std::nullopt, S::Processor, true},
        // No device: no renderer is made just to ask.
        {R::Automatic, false, kCard, S::Processor, false},
        {R::Processor, true, kCard, S::Processor, false},
        {R::Renderer, false, kLlvmpipe, S::Renderer, true},
        {R::Renderer, true, kSdlSoftware, S::Renderer, true},
        {R::Renderer, true, std::nullopt, S::Processor, true},
    };
    for (const Case& c : cases) {
        bool probed = false;
        const MovieScaling chosen = chooseMovieScaling(c.request, c.device, [&] {
            probed = true;
            return c.renderer;
        });
        const std::string name = c.renderer ? c.renderer->glRenderer : "none";
        EXPECT_EQ(chosen, c.expected)
            << static_cast<int>(c.request) << " " << c.device << " " << name;
        EXPECT_EQ(probed, c.probed)
            << static_cast<int>(c.request) << " " << c.device << " " << name;
    }
}

}  // namespace
}  // namespace lumenreel::test
