#include "cli/InfoCommand.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cli/CommandFailure.h"
#include "cli/DemoInput.h"
#include "cli/ExitCodes.h"
#include "published/ExternalFormatReader.h"

namespace lumenreel::cli {
namespace {

using NKWXDecodersEncoders::CExternalFormatReader;
using NKWXDecodersEncoders::CReaderObject_frame;

struct InfoOptions {
    std::string path;
    bool json = false;
};

// Shortest text that reads back as the same float.
std::string number(float value) {
    char text[32];
    auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

struct SoundInfo {
    std::string kind;
    std::size_t bytes = 0;
    std::string format;
};

SoundInfo describe(const CSoundTrack& track) {
    SoundInfo info{"", track.data().size(), ""};
    switch (track.kind()) {
        case CSoundTrack::kWavePCM: {
            const auto& wave = static_cast<const CSoundTrack_wavePCM&>(track);
            info.kind = "wave";
            info.format = "pcm " + std::to_string(wave.bitsPerSample) + "-bit " +
                          std::to_string(wave.channels) + " ch " +
                          std::to_string(wave.samplesPerSecond) + " Hz";
            break;
        }
        case CSoundTrack::kMP3:
            info.kind = "mp3";
            info.format = "mpeg audio";
            break;
        case CSoundTrack::kOgg:
            info.kind = "ogg";
            info.format = "ogg vorbis";
            break;
    }
    return info;
}

std::string sizeText(NKWXDecodersEncoders::Size size, bool json) {
    return json ? "[" + std::to_string(size.width) + ", " + std::to_string(size.height) + "]"
                : std::to_string(size.width) + "x" + std::to_string(size.height);
}

void printText(const CExternalFormatReader& reader) {
    std::printf("format: ZCD\n");
    std::printf("display_size: %s\n", sizeText(reader.GetSize(), false).c_str());
    std::printf("bitmap_size: %s\n", sizeText(reader.GetSecondSize(), false).c_str());
    std::printf("frame_count: %d\n", reader.GetFrameCount());
    std::printf("duration: %s\n", number(reader.GetTotalDuration()).c_str());
    if (const auto* master = reader.GetMasterFrame()) {
        std::printf("master_frame: id %d, duration %s\n", master->GetId(),
                    number(master->GetDuration()).c_str());
    } else {
        std::printf("master_frame: none\n");
    }
    std::printf("frames:\n");
    float start = 0;
    for (int i = 0; i < reader.GetFrameCount(); ++i) {
        const CReaderObject_frame* frame = reader.GetFrameByIndex(i);
        auto [moveStart, moveEnd] = frame->GetCursorMoveInterval();
        std::printf("  %d: id %d, start %s, duration %s, cursor move %s-%s\n", i, frame->GetId(),
                    number(start).c_str(), number(frame->GetDuration()).c_str(),
                    number(moveStart).c_str(), number(moveEnd).c_str());
        start += frame->GetDuration();
    }
    std::printf("pool_pictures: %d\n", reader.GetPoolPictureCount());
    std::printf("cursors: %d\n", reader.GetCursorCount());
    std::printf("captions: %d\n", reader.GetCaptionCount());
    std::printf("images: %d\n", reader.GetImageObjectCount());
    std::printf("highlights: %d\n", reader.GetHighlightCount());
    if (const auto* track = reader.GetSoundtrack()) {
        auto sound = describe(*track);
        std::printf("soundtrack: %s, %zu bytes, %s\n", sound.kind.c_str(), sound.bytes,
                    sound.format.c_str());
    } else {
        std::printf("soundtrack: none\n");
    }
    for (const auto& note : reader.skipped())
        std::printf("skipped: %s\n", note.c_str());
}

void printJson(const CExternalFormatReader& reader) {
    std::string out = "{\n  \"format\": \"ZCD\",\n";
    out += "  \"display_size\": " + sizeText(reader.GetSize(), true) + ",\n";
    out += "  \"bitmap_size\": " + sizeText(reader.GetSecondSize(), true) + ",\n";
    out += "  \"frame_count\": " + std::to_string(reader.GetFrameCount()) + ",\n";
    out += "  \"duration\": " + number(reader.GetTotalDuration()) + ",\n";
    out += "  \"frames\": [";
    float start = 0;
    for (int i = 0; i < reader.GetFrameCount(); ++i) {
        const CReaderObject_frame* frame = reader.GetFrameByIndex(i);
        auto [moveStart, moveEnd] = frame->GetCursorMoveInterval();
        out += i ? ",\n    " : "\n    ";
        out += "{\"index\": " + std::to_string(i) + ", \"id\": " + std::to_string(frame->GetId()) +
               ", \"start\": " + number(start) + ", \"duration\": " + number(frame->GetDuration()) +
               ", \"cursor_move\": [" + number(moveStart) + ", " + number(moveEnd) + "]}";
        start += frame->GetDuration();
    }
    out += reader.GetFrameCount() ? "\n  ],\n" : "],\n";
    if (const auto* master = reader.GetMasterFrame()) {
        out += "  \"master_frame\": {\"id\": " + std::to_string(master->GetId()) +
               ", \"duration\": " + number(master->GetDuration()) + "},\n";
    } else {
        out += "  \"master_frame\": null,\n";
    }
    out += "  \"pool_pictures\": " + std::to_string(reader.GetPoolPictureCount()) + ",\n";
    out += "  \"cursors\": " + std::to_string(reader.GetCursorCount()) + ",\n";
    out += "  \"captions\": " + std::to_string(reader.GetCaptionCount()) + ",\n";
    out += "  \"images\": " + std::to_string(reader.GetImageObjectCount()) + ",\n";
    out += "  \"highlights\": " + std::to_string(reader.GetHighlightCount()) + ",\n";
    if (const auto* track = reader.GetSoundtrack()) {
        auto sound = describe(*track);
        out += "  \"soundtrack\": {\"kind\": " + jsonString(sound.kind) +
               ", \"bytes\": " + std::to_string(sound.bytes) +
               ", \"format\": " + jsonString(sound.format) + "},\n";
    } else {
        out += "  \"soundtrack\": null,\n";
    }
    out += "  \"skipped\": [";
    for (std::size_t i = 0; i < reader.skipped().size(); ++i)
        out += (i ? ", " : "") + jsonString(reader.skipped()[i]);
    out += "]\n}\n";
    std::fputs(out.c_str(), stdout);
}

void run(const InfoOptions& options) {
    CExternalFormatReader reader;
    loadPublishedDemo(options.path, reader);
    if (options.json) {
        printJson(reader);
    } else {
        printText(reader);
    }
}

}  // namespace

void addInfoCommand(CLI::App& app) {
    auto options = std::make_shared<InfoOptions>();
    CLI::App* info = app.add_subcommand("info", "Describe a published demo (ZCD)");
    info->add_option("FILE", options->path, "the demo file")->required();
    info->add_flag("--json", options->json, "print JSON instead of text");
    info->callback([options] { run(*options); });
}

}  // namespace lumenreel::cli
