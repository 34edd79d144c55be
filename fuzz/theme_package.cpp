// A theme's stored form, as theme packages (plain form) and documents (keyed form) hold it; the
// first byte chooses the form. What loads must store and load again to the same theme.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "base/MemFile.h"
#include "storage/SerializeInterface.h"
#include "storage/SerializeInterfaceRB.h"
#include "themes/ThemesManager.h"

namespace {

bool readInto(CThemeContainer& theme, std::span<const std::uint8_t> bytes, bool keyed) {
    CKWXOleStreamFile stream(bytes);
    if (keyed) {
        CSerializeInterfaceRB archive(stream, CSerializeInterface::modeLoad);
        return theme.serialize(archive);
    }
    CSerializeInterface archive(stream, CSerializeInterface::modeLoad);
    return theme.serialize(archive);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const bool keyed = (data[0] & 1) != 0;
    // No folder: item sets and packages are never found, so only the stored form is read.
    static const auto manager = [] {
        auto m = std::make_unique<CThemesManager>(
            lumenreel::ThemeFiles::onDisk("/nonexistent-theme-folder"));
        m->registerDefaultPrototypes();
        return m;
    }();
    auto theme = manager->newTheme("fuzz");
    if (!readInto(*theme, {data + 1, size - 1}, keyed))
        return 0;
    theme->load();
    CKWXOleStreamFile stored;
    {
        CSerializeInterface archive(stored, CSerializeInterface::modeStore);
        if (!theme->serialize(archive))
            __builtin_trap();
        archive.Flush();
    }
    auto again = manager->newTheme("other");
    if (!readInto(*again, stored.Bytes(), false) || again->themeName() != theme->themeName() ||
        !again->sameItemNames(theme->itemNames()))
        __builtin_trap();
    return 0;
}
