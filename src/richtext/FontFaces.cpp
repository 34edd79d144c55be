#include "richtext/FontFaces.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <map>
#include <memory>
#include <mutex>

namespace lumenreel {
namespace {

struct FaceMapping {
    std::string_view face;
    std::string_view family;
};

// Same widths as the Windows faces, so captions break where their authors saw them break.
constexpr FaceMapping kFaceMappings[] = {
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Times", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
};

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// True when fontconfig's best match for the face is a font of that very family.
bool isInstalled(const std::string& face) {
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(),
                                                                    FcPatternDestroy);
    if (!pattern)
        return false;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> match(
        FcFontMatch(nullptr, pattern.get(), &result), FcPatternDestroy);
    if (!match)
        return false;
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(match.get(), FC_FAMILY, i, &family) == FcResultMatch; ++i) {
        if (sameName(reinterpret_cast<const char*>(family), face))
            return true;
    }
    return false;
}

}  // namespace

std::string fontFamilyFor(std::string_view face) {
    for (const FaceMapping& mapping : kFaceMappings) {
        if (sameName(mapping.face, face))
            return std::string(mapping.family);
    }
    static std::mutex mutex;
    static std::map<std::string, std::string, std::less<>> known;
    std::lock_guard lock(mutex);
    auto found = known.find(face);
    if (found != known.end())
        return found->second;
    std::string name(face);
    bool usable = !name.empty() && name.find(',') == std::string::npos && isInstalled(name);
    std::string family = usable ? name : std::string(kFallbackFontFamily);
    // Bounded: hostile documents may name any number of faces.
    if (known.size() < 256)
        known.emplace(name, family);
    return family;
}

}  // namespace lumenreel
