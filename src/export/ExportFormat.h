#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace lumenreel {

enum class ExportFormat { mp4, webm, gif, png };

// The output name that stands for standard output.
inline constexpr std::string_view kStandardOutputName = "-";

// "mp4", "webm", "gif" or "png"; nothing for another word.
std::optional<ExportFormat> exportFormatNamed(std::string_view name);
// The format a file name asks for by its extension; nothing when it names none of them. A PNG
// sequence is a folder, so a name without an extension asks for it.
std::optional<ExportFormat> exportFormatOfName(const std::filesystem::path& name);
const char* exportFormatName(ExportFormat format);
// Whether the format keeps a timestamp for each picture, so a still stretch is one picture.
bool hasPictureTimes(ExportFormat format);
bool carriesSound(ExportFormat format);

}  // namespace lumenreel
