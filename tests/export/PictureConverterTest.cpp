#include <gtest/gtest.h>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <cstring>
#include <random>
#include <vector>

#include "export/PictureConverter.h"

namespace lumenreel {
namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kPitch = kWidth * 4;

// Sharp-edged colours like screen text, and noise, so every filter tap shows.
std::vector<std::uint8_t> picture(std::mt19937& random) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kPitch) * kHeight);
    for (std::uint8_t& byte : pixels)
        byte = static_cast<std::uint8_t>(random() % 4 == 0 ? random() : 200);
    return pixels;
}

// A change of the rows [first, end) in the middle columns, as a cursor's glide makes.
ChangedRows paint(std::vector<std::uint8_t>& pixels, int first, int end, std::mt19937& random) {
    for (int y = first; y < end; ++y)
        for (int x = 40; x < 90; ++x)
            pixels[static_cast<std::size_t>(y) * kPitch + x * 4 + random() % 3] =
                static_cast<std::uint8_t>(random());
    return {first, end};
}

FramePtr wholeConversion(const std::vector<std::uint8_t>& pixels, AVPixelFormat format) {
    ScalerPtr scaler(sws_getContext(kWidth, kHeight, AV_PIX_FMT_BGR0, kWidth, kHeight, format,
                                    SWS_BICUBIC, nullptr, nullptr, nullptr));
    FramePtr frame = makePictureFrame(format, kWidth, kHeight);
    const std::uint8_t* rows[] = {pixels.data()};
    const int pitch[] = {kPitch};
    sws_scale(scaler.get(), rows, pitch, 0, kHeight, frame->data, frame->linesize);
    return frame;
}

bool samePlanes(const AVFrame& a, const AVFrame& b) {
    const auto format = static_cast<AVPixelFormat>(a.format);
    for (int plane = 0; plane < av_pix_fmt_count_planes(format); ++plane) {
        const int bytes = av_image_get_linesize(format, kWidth, plane);
        const int rows =
            plane == 0 ? kHeight : AV_CEIL_RSHIFT(kHeight, format == AV_PIX_FMT_YUV420P);
        for (int y = 0; y < rows; ++y)
            if (std::memcmp(a.data[plane] + y * a.linesize[plane],
                            b.data[plane] + y * b.linesize[plane], bytes) != 0)
                return false;
    }
    return true;
}

// Bands at the top and bottom edges, unaligned, one row high and nearly half the picture.
TEST(PictureConverterTest, ABandOfChangedRowsGivesThePixelsOfAWholeConversion) {
    const struct {
        int first;
        int end;
    } bands[] = {{0, 5}, {37, 38}, {61, 83}, {101, 120}, {3, 58}, {118, 120}, {50, 51}};
    for (AVPixelFormat format : {AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV444P, AV_PIX_FMT_GBRP,
                                 AV_PIX_FMT_BGR24, AV_PIX_FMT_BGRA}) {
        std::mt19937 random(7);
        std::vector<std::uint8_t> pixels = picture(random);
        PictureConverter converter;
        ASSERT_TRUE(converter.open({kWidth, kHeight}, format, {kWidth, kHeight}));
        FramePtr first = converter.convert(pixels.data(), kPitch, {0, kHeight});
        ASSERT_TRUE(first);
        EXPECT_TRUE(samePlanes(*first, *wholeConversion(pixels, format)));
        for (const auto& band : bands) {
            const ChangedRows changed = paint(pixels, band.first, band.end, random);
            FramePtr converted = converter.convert(pixels.data(), kPitch, changed);
            ASSERT_TRUE(converted);
            EXPECT_TRUE(samePlanes(*converted, *wholeConversion(pixels, format)))
                << av_get_pix_fmt_name(format) << " rows " << band.first << "-" << band.end;
        }
    }
}

}  // namespace
}  // namespace lumenreel
