#include "SoundTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "base/ByteReader.h"
#include "support/TestSupport.h"

namespace lumenreel::test {

WavFile readWav(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes = readBytes(path);
    ByteReader reader(bytes);
    WavFile wav;
    if (reader.takeString(4) != "RIFF")
        return wav;
    reader.u32();
    if (reader.takeString(4) != "WAVE")
        return wav;
    while (reader.ok() && reader.canRead(8)) {
        std::string id = reader.takeString(4);
        std::uint32_t size = reader.u32();
        auto body = reader.take(size);
        if (!reader.ok())
            break;
        if (id == "fmt " && size >= 16) {
            std::array<std::uint8_t, WaveFormat::kRecordSize> record{};
            std::copy_n(body.begin(), 16, record.begin());
            wav.format = WaveFormat::fromRecord(record);
        } else if (id == "data") {
            wav.data.assign(body.begin(), body.end());
        }
        if (size % 2 == 1)
            reader.skip(1);
    }
    return wav;
}

std::vector<std::int16_t> samplesOf(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return samples;
}

std::vector<std::int16_t> decodeWith(const std::string& commandLine,
                                     const std::filesystem::path& output) {
    CommandResult result = runCommand(commandLine);
    if (result.exitCode != 0)
        return {};
    return samplesOf(readWav(output).data);
}

bool playToEnd(IPlayer& player, DeviceRecorder& recorder, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        recorder.advanceAll();
        // Writes reach the device before decoding is marked ended, so nothing comes after.
        if (!player.IsPlaying() && recorder.queuedBytes() == 0)
            return true;
        recorder.waitUntil([](const DeviceRecorder& r) { return r.queuedBytes() > 0; },
                           std::chrono::milliseconds(50));
    }
    return false;
}

void decodeLeavingATail(const std::function<bool()>& decoding, DeviceRecorder& recorder) {
    constexpr std::uint64_t kTail = 8192;
    while (decoding()) {
        if (recorder.queuedBytes() > kTail)
            recorder.advance(recorder.queuedBytes() - kTail);
        else
            recorder.waitUntil([](const DeviceRecorder& r) { return r.queuedBytes() > kTail; },
                               std::chrono::milliseconds(20));
    }
}

bool eventually(const std::function<bool()>& holds, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!holds()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

int maxDifference(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b) {
    if (a.size() != b.size())
        return -1;
    int worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

}  // namespace lumenreel::test
