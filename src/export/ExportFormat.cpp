#include "export/ExportFormat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace lumenreel {
namespace {

struct Named {
    ExportFormat format;
    const char* name;
};

constexpr std::array<Named, 4> kNames = {{{ExportFormat::mp4, "mp4"},
                                          {ExportFormat::webm, "webm"},
                                          {ExportFormat::gif, "gif"},
                                          {ExportFormat::png, "png"}}};

}  // namespace

std::optional<ExportFormat> exportFormatNamed(std::string_view name) {
    for (const Named& named : kNames) {
        if (name == named.name)
            return named.format;
    }
    return std::nullopt;
}

std::optional<ExportFormat> exportFormatOfName(const std::filesystem::path& name) {
    std::string extension = name.extension().string();
    if (extension.empty())
        return ExportFormat::png;
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // One PNG file is a single picture (the render command), not a sequence.
    if (extension == ".png")
        return std::nullopt;
    if (extension == ".m4v" || extension == ".mov")
        return ExportFormat::mp4;
    return exportFormatNamed(std::string_view(extension).substr(1));
}

const char* exportFormatName(ExportFormat format) {
    for (const Named& named : kNames) {
        if (named.format == format)
            return named.name;
    }
    return "?";
}

bool hasPictureTimes(ExportFormat format) {
    return format != ExportFormat::png;
}

bool carriesSound(ExportFormat format) {
    return format == ExportFormat::mp4 || format == ExportFormat::webm;
}

}  // namespace lumenreel
