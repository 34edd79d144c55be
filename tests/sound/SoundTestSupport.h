#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sound/IPlayer.h"
#include "sound/RecordingOutputDevice.h"
#include "sound/WaveFormat.h"

namespace lumenreel::test {

struct WavFile {
    WaveFormat format;
    std::vector<std::uint8_t> data;
};

// The format and data chunk of a PCM WAV file (empty data when it is not one).
WavFile readWav(const std::filesystem::path& path);

// Runs a reference decoder command whose output WAV is `output` and returns its samples.
std::vector<std::int16_t> decodeWith(const std::string& commandLine,
                                     const std::filesystem::path& output);

std::vector<std::int16_t> samplesOf(const std::vector<std::uint8_t>& bytes);

// Plays everything the player decodes (the test plays the recorder's queue as it fills) until
// decoding has ended and the tail has played; returns false on time-out.
bool playToEnd(IPlayer& player, DeviceRecorder& recorder,
               std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Lets decoding run to its end while playing only what lies beyond the last 8192 queued bytes,
// so that a tail is still waiting to sound afterwards whatever the decoder's pace.
void decodeLeavingATail(const std::function<bool()>& decoding, DeviceRecorder& recorder);

// Checks the condition until it holds (true) or the time is up (false), for state that changes
// on other threads without a device call to wait for.
bool eventually(const std::function<bool()>& holds,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Largest difference between two sample runs of the same length (-1 when the lengths differ).
int maxDifference(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b);

}  // namespace lumenreel::test
