#include "app/PlayerMemory.h"

#include <sys/types.h>

#include <cstdint>
#include <system_error>
#include <type_traits>

#include "app/XdgFolders.h"
#include "base/FileBytes.h"
#include "base/ReplacingFile.h"

namespace lumenreel {
namespace {

// Far beyond what the player writes: a few lines of settings, kCapacity paths.
constexpr std::uint64_t kMaxSettingsBytes = 64 * 1024;
constexpr std::uint64_t kMaxPositionsBytes = 2 * 1024 * 1024;

std::optional<std::filesystem::path> under(const std::optional<std::filesystem::path>& folder,
                                           const char* name) {
    if (!folder)
        return std::nullopt;
    return *folder / "lumenreel" / name;
}

// The parsed file, or nothing: missing (no message) or ignored (a message).
template <typename Parse>
std::invoke_result_t<Parse, std::string_view, std::string&> readKept(
    const std::optional<std::filesystem::path>& path, std::uint64_t limit, Parse parse,
    std::vector<std::string>& messages) {
    if (!path)
        return std::nullopt;
    FileBytes file = readFileBytes(*path, limit);
    if (file.missing)
        return std::nullopt;
    std::string problem = file.error;
    if (file.ok()) {
        const std::string_view text(reinterpret_cast<const char*>(file.bytes.data()),
                                    file.bytes.size());
        if (auto parsed = parse(text, problem))
            return parsed;
    }
    messages.push_back("ignoring " + path->string() + ": " + problem);
    return std::nullopt;
}

void writeKept(const std::optional<std::filesystem::path>& path, const std::string& text,
               mode_t mode, std::vector<std::string>& messages) {
    if (!path)
        return;
    std::error_code made;
    std::filesystem::create_directories(path->parent_path(), made);
    std::string error;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (made)
        error = made.message();
    else if (replaceFile(*path, {bytes, text.size()}, error, mode))
        return;
    messages.push_back("cannot keep " + path->string() + ": " + error);
}

}  // namespace

PlayerMemory::Files PlayerMemory::xdgFiles() {
    return {under(xdgConfigHome(), "player.conf"), under(xdgStateHome(), "positions")};
}

std::vector<std::string> PlayerMemory::load() {
    std::vector<std::string> messages;
    if (auto settings = readKept(m_files.settings, kMaxSettingsBytes, parseSettings, messages))
        m_settings = *settings;
    if (auto positions =
            readKept(m_files.positions, kMaxPositionsBytes, MoviePositions::parse, messages))
        m_positions = std::move(*positions);
    return messages;
}

std::vector<std::string> PlayerMemory::save() const {
    std::vector<std::string> messages;
    writeKept(m_files.settings, settingsText(m_settings), 0644, messages);
    // Which movies were watched is the user's own business.
    writeKept(m_files.positions, m_positions.text(), 0600, messages);
    return messages;
}

}  // namespace lumenreel
