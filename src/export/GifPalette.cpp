#include "export/GifPalette.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace lumenreel {
namespace {

AVFilterContext* addFilter(AVFilterGraph& graph, const char* filter, const char* name,
                           const std::string& arguments) {
    AVFilterContext* context = nullptr;
    if (avfilter_graph_create_filter(&context, avfilter_get_by_name(filter), name,
                                     arguments.empty() ? nullptr : arguments.c_str(), nullptr,
                                     &graph) < 0)
        return nullptr;
    return context;
}

std::string sourceArguments(Size size) {
    return "video_size=" + std::to_string(size.width) + "x" + std::to_string(size.height) +
           ":pix_fmt=" + std::to_string(AV_PIX_FMT_BGRA) + ":time_base=1/100:pixel_aspect=1/1";
}

bool fail(const char* what, std::string& error) {
    error = std::string("GIF palette: ") + what;
    return false;
}

// Everything the sink holds now.
bool drain(AVFilterContext& sink, std::vector<FramePtr>& out, std::string& error) {
    for (;;) {
        FramePtr frame(av_frame_alloc());
        if (!frame)
            return fail("out of memory", error);
        const int got = av_buffersink_get_frame(&sink, frame.get());
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
            return true;
        if (got < 0)
            return fail("mapping failed", error);
        out.push_back(std::move(frame));
    }
}

}  // namespace

bool GifPalette::openMaker(Size size, std::string& error) {
    m_graph.reset(avfilter_graph_alloc());
    if (!m_graph)
        return fail("out of memory", error);
    m_source = addFilter(*m_graph, "buffer", "pictures", sourceArguments(size));
    AVFilterContext* maker = addFilter(*m_graph, "palettegen", "maker", "stats_mode=full");
    m_sink = addFilter(*m_graph, "buffersink", "palette", "");
    if (!m_source || !maker || !m_sink || avfilter_link(m_source, 0, maker, 0) < 0 ||
        avfilter_link(maker, 0, m_sink, 0) < 0 || avfilter_graph_config(m_graph.get(), nullptr) < 0)
        return fail("cannot set up the palette maker", error);
    return true;
}

bool GifPalette::show(const AVFrame& picture, std::string& error) {
    if (av_buffersrc_add_frame_flags(m_source, const_cast<AVFrame*>(&picture),
                                     AV_BUFFERSRC_FLAG_KEEP_REF) < 0)
        return fail("cannot count the colours", error);
    return true;
}

bool GifPalette::makePalette(std::string& error) {
    if (av_buffersrc_add_frame(m_source, nullptr) < 0)
        return fail("cannot make the palette", error);
    std::vector<FramePtr> palettes;
    if (!drain(*m_sink, palettes, error))
        return false;
    if (palettes.empty())
        return fail("no pictures to make a palette from", error);
    m_palette = std::move(palettes.front());
    m_graph.reset();
    return true;
}

bool GifPalette::openMapper(Size size, std::string& error) {
    m_graph.reset(avfilter_graph_alloc());
    if (!m_graph || !m_palette)
        return fail("no palette", error);
    m_source = addFilter(*m_graph, "buffer", "pictures", sourceArguments(size));
    m_paletteSource = addFilter(*m_graph, "buffer", "palette",
                                sourceArguments(Size{m_palette->width, m_palette->height}));
    // Only the area that changed is mapped again, so still parts keep their exact dots.
    AVFilterContext* mapper =
        addFilter(*m_graph, "paletteuse", "mapper", "dither=sierra2_4a:diff_mode=rectangle");
    m_sink = addFilter(*m_graph, "buffersink", "mapped", "");
    if (!m_source || !m_paletteSource || !mapper || !m_sink ||
        avfilter_link(m_source, 0, mapper, 0) < 0 ||
        avfilter_link(m_paletteSource, 0, mapper, 1) < 0 ||
        avfilter_link(mapper, 0, m_sink, 0) < 0 ||
        avfilter_graph_config(m_graph.get(), nullptr) < 0)
        return fail("cannot set up the palette mapper", error);
    m_palette->pts = 0;
    if (av_buffersrc_add_frame_flags(m_paletteSource, m_palette.get(), AV_BUFFERSRC_FLAG_KEEP_REF) <
            0 ||
        av_buffersrc_add_frame(m_paletteSource, nullptr) < 0)
        return fail("cannot hand over the palette", error);
    return true;
}

bool GifPalette::map(const AVFrame* picture, std::vector<FramePtr>& mapped, std::string& error) {
    const int added = av_buffersrc_add_frame_flags(m_source, const_cast<AVFrame*>(picture),
                                                   AV_BUFFERSRC_FLAG_KEEP_REF);
    if (added < 0)
        return fail("cannot map the picture", error);
    return drain(*m_sink, mapped, error);
}

}  // namespace lumenreel
