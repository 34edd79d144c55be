#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/MoviePositions.h"
#include "app/PlayerSettings.h"

// The player's settings and movie positions are files in the user's folders that anything may
// have written. Whatever is accepted must also read back as the same from the text written for it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string problem;
    if (const auto settings = lumenreel::parseSettings(text, problem)) {
        const auto again = lumenreel::parseSettings(lumenreel::settingsText(*settings), problem);
        if (!again || !(*again == *settings))
            __builtin_trap();
    }
    if (const auto positions = lumenreel::MoviePositions::parse(text, problem)) {
        const auto again = lumenreel::MoviePositions::parse(positions->text(), problem);
        if (!again || again->text() != positions->text())
            __builtin_trap();
    }
    return 0;
}
