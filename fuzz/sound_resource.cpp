// Stored sound resources ("SOUND_RESOURCE" in a keyed container) as documents load them. The
// first byte picks the resource kind; the rest is the container.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/MemFile.h"
#include "sound/CompressedSoundResource.h"
#include "sound/NullOutputDevice.h"
#include "sound/WaveSoundResource.h"
#include "storage/SerializeInterfaceRB.h"

namespace {

std::unique_ptr<CSoundResource> makeResource(std::uint8_t kind) {
    auto silent = [] { return std::make_unique<lumenreel::NullOutputDevice>(); };
    switch (kind % 3) {
        case 0:
            return std::make_unique<CWaveSoundResource>(silent);
        case 1:
            return std::make_unique<COggSoundResource>(silent);
        default:
            return std::make_unique<CMp3SoundResource>(silent);
    }
}

}  // namespace

// libvorbisfile itself loses a few bytes when a stream fails to open half-way (its own
// allocation, out of our reach); the fuzzer is here to find our leaks, not that one.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libvorbisfile.so";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    auto resource = makeResource(data[0]);
    CKWXMemFile file(std::vector<std::uint8_t>(data + 1, data + size));
    CSerializeInterfaceRB archive(file, CSerializeInterface::modeLoad);
    resource->Serialize(archive);
    resource->Duration();
    if (auto* wave = dynamic_cast<CWaveSoundResource*>(resource.get())) {
        wave->IsSilent();
        wave->SampleFrames();
        // Stores again what was loaded, which reads every byte of it.
        CKWXMemFile out;
        CSerializeInterfaceRB store(out, CSerializeInterface::modeStore);
        wave->Serialize(store);
    }
    return 0;
}
