#include "cli/AudioCommand.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cli/CommandFailure.h"
#include "cli/DemoInput.h"
#include "cli/DocumentInput.h"
#include "cli/ExitCodes.h"
#include "cli/SoundtrackDecode.h"
#include "cli/WaveOutput.h"
#include "published/ExternalFormatReader.h"
#include "sound/ByteSource.h"
#include "sound/DecodeAll.h"

namespace lumenreel::cli {
namespace {

using NKWXDecodersEncoders::CExternalFormatReader;

struct AudioOptions {
    std::string path;
    std::string output;
};

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
    WaveOutput wav(options.output, format);
    wav.append(std::span(wave.data().data(), whole));
    wav.finish();
}

void writeEncoded(const CSoundTrack& track, const AudioOptions& options) {
    MemoryByteSource source(track.data());
    std::string error;
    std::unique_ptr<PcmCodec> codec = openSoundtrackCodec(track, source, error);
    if (!codec)
        failCommand(kExitBadInput, options.path, error);
    WaveOutput wav(options.output, WaveFormat::pcm(codec->rate(), codec->channels(), 16));
    std::uint64_t bytes = 0;
    const DecodeOutcome outcome = decodeAll(*codec, [&](std::span<const std::uint8_t> pcm) {
        bytes += pcm.size();
        wav.append(pcm);
        return true;
    });
    wav.finish();
    // What could be decoded is written; what was lost is said.
    if (const std::optional<std::string> damage = damageOf(outcome, bytes, *codec))
        std::fprintf(stderr, "lumenreel: %s: warning: %s\n", options.path.c_str(), damage->c_str());
}

void writeDocumentSoundtrack(const CWaveSoundResource& soundtrack, const AudioOptions& options) {
    const CWaveSoundResource::SDataRecord sound = soundtrack.GetDataRecord();
    if (sound.data.empty())
        failCommand(kExitNotFound, options.path, "the movie has no soundtrack");
    const WaveFormat& format = sound.format;
    if (format.formatTag != WaveFormat::kPcmTag || format.blockAlign == 0 ||
        format.blockAlign != format.frameBytes() || format.samplesPerSec == 0)
        failCommand(kExitBadInput, options.path, "soundtrack: unsupported wave format");
    const std::size_t whole = sound.data.size() / format.blockAlign * format.blockAlign;
    WaveOutput wav(options.output,
                   WaveFormat::pcm(format.samplesPerSec, format.channels, format.bitsPerSample));
    wav.append(sound.data.first(whole));
    wav.finish();
}

void run(const AudioOptions& options) {
    if (std::unique_ptr<OpenedDocument> opened = openDocumentIfAny(options.path)) {
        writeDocumentSoundtrack(opened->document.soundtrack(), options);
        return;
    }
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
    CLI::App* command = app.add_subcommand(
        "audio", "Write the soundtrack of a published demo or a document as a PCM WAV file");
    command->add_option("FILE", options->path, "published demo or document file")->required();
    command
        ->add_option("-o,--output", options->output, "WAV file to write, or - for standard output")
        ->required();
    command->callback([options] { run(*options); });
}

}  // namespace lumenreel::cli
