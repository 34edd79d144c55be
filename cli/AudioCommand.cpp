#include "cli/AudioCommand.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cli/CommandFailure.h"
#include "cli/DemoInput.h"
#include "cli/ExitCodes.h"
#include "published/ExternalFormatReader.h"
#include "sound/ByteSource.h"
#include "sound/DecodeAll.h"
#include "sound/Mp3Codec.h"
#include "sound/VorbisCodec.h"
#include "sound/WavFileWriter.h"

namespace lumenreel::cli {
namespace {

using NKWXDecodersEncoders::CExternalFormatReader;

struct AudioOptions {
    std::string path;
    std::string output;
};

void finish(WavFileWriter& wav, const std::string& output) {
    if (!wav.Finish())
        failCommand(kExitBadInput, output, "cannot write the file");
}

WavFileWriter openOutput(const std::string& output, const WaveFormat& format) {
    WavFileWriter wav(output, format);
    if (!wav.IsOpen())
        failCommand(kExitBadInput, output, "cannot write the file");
    return wav;
}

void writeWave(const CSoundTrack_wavePCM& wave, const AudioOptions& options) {
    bool bitsFit = wave.bitsPerSample > 0 && wave.bitsPerSample % 8 == 0;
    if (wave.formatTag != CSoundTrack_wavePCM::kFormatPCM || wave.channels == 0 || !bitsFit ||
        wave.samplesPerSecond <= 0) {
        failCommand(kExitBadInput, options.path, "soundtrack: unsupported wave format");
    }
    auto format = WaveFormat::pcm(static_cast<std::uint32_t>(wave.samplesPerSecond), wave.channels,
                                  wave.bitsPerSample);
    // A torn last sample frame would shift every channel after it when played.
    std::size_t whole = wave.data().size() / format.blockAlign * format.blockAlign;
    WavFileWriter wav = openOutput(options.output, format);
    if (!wav.Append(std::span(wave.data().data(), whole)))
        failCommand(kExitBadInput, options.output, "cannot write the file");
    finish(wav, options.output);
}

void writeEncoded(const CSoundTrack& track, const AudioOptions& options) {
    std::unique_ptr<PcmCodec> codec;
    if (track.kind() == CSoundTrack::kOgg) {
        codec = std::make_unique<VorbisCodec>();
    } else {
        codec = std::make_unique<Mp3Codec>();
    }
    MemoryByteSource source(track.data());
    if (!codec->open(source)) {
        failCommand(kExitBadInput, options.path,
                    track.kind() == CSoundTrack::kOgg
                        ? "soundtrack: not a readable Ogg Vorbis stream"
                        : "soundtrack: not a readable MP3 stream");
    }
    WavFileWriter wav =
        openOutput(options.output, WaveFormat::pcm(codec->rate(), codec->channels(), 16));
    bool tooLong = false;
    decodeAll(*codec, [&](std::span<const std::uint8_t> pcm) {
        if (wav.Append(pcm))
            return true;
        tooLong = true;
        return false;
    });
    if (tooLong)
        failCommand(kExitBadInput, options.output, "cannot write the file");
    finish(wav, options.output);
}

void run(const AudioOptions& options) {
    CExternalFormatReader reader;
    loadPublishedDemo(options.path, reader);
    const CSoundTrack* track = reader.GetSoundtrack();
    if (track == nullptr || track->data().empty())
        failCommand(kExitNotFound, options.path, "the movie has no soundtrack");
    if (track->kind() == CSoundTrack::kWavePCM) {
        writeWave(static_cast<const CSoundTrack_wavePCM&>(*track), options);
    } else {
        writeEncoded(*track, options);
    }
}

}  // namespace

void addAudioCommand(CLI::App& app) {
    auto options = std::make_shared<AudioOptions>();
    CLI::App* command =
        app.add_subcommand("audio", "Write a published demo's soundtrack as a PCM WAV file");
    command->add_option("FILE", options->path, "The published demo")->required();
    command->add_option("-o,--output", options->output, "The WAV file to write")->required();
    command->callback([options] { run(*options); });
}

}  // namespace lumenreel::cli
