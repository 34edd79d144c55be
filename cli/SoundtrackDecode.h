#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "published/SoundTrack.h"
#include "sound/ByteSource.h"
#include "sound/DecodeAll.h"
#include "sound/PcmCodec.h"

namespace lumenreel::cli {

// The decoder for an Ogg or MP3 soundtrack over its bytes (the source must outlive it); nothing
// for a wave track, or with the reason in `error` when the stream cannot be opened.
std::unique_ptr<PcmCodec> openSoundtrackCodec(const CSoundTrack& track, ByteSource& source,
                                              std::string& error);

// What decoding lost of a stream, in one line; nothing when it lost nothing.
std::optional<std::string> damageOf(const DecodeOutcome& outcome, std::uint64_t pcmBytes,
                                    const PcmCodec& codec);

// Decodes a compressed soundtrack as the player would play it, only to tell what is lost.
std::optional<std::string> soundtrackDamage(const CSoundTrack& track);

}  // namespace lumenreel::cli
