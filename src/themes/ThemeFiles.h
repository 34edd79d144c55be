#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CRBFileSystem;

namespace lumenreel {

// One name in a theme folder listing.
struct ThemeEntry {
    std::string name;
    bool folder = false;
};

// Where themes and item sets are read from: a published package (the player's skin) when there is
// one, else the disk below a start folder (the working folder when empty). Paths are relative and
// backslash-separated in both cases. The package is not owned and must outlive every user.
class ThemeFiles {
public:
    ThemeFiles() = default;
    static ThemeFiles onDisk(std::filesystem::path startFolder);
    static ThemeFiles inPackage(CRBFileSystem& package);

    bool isPackage() const { return m_package != nullptr; }
    const std::filesystem::path& startFolder() const { return m_start; }

    // The folder's entries: in stored order in a package, sorted by name on disk (whose own order
    // is arbitrary). Nothing when the folder is absent.
    std::vector<ThemeEntry> list(std::string_view folder) const;
    // The whole file, or nothing with the reason in why; larger files than limit are refused.
    std::optional<std::vector<std::uint8_t>> read(std::string_view path, std::uint64_t limit,
                                                  std::string& why) const;
    // Disk only: replaces or creates the file.
    bool write(std::string_view path, std::span<const std::uint8_t> bytes, std::string& why) const;

private:
    std::filesystem::path diskPath(std::string_view path) const;

    CRBFileSystem* m_package = nullptr;
    std::filesystem::path m_start;
};

// "a" and "b" joined by a backslash; either may be empty.
std::string joinThemePath(std::string_view a, std::string_view b);

}  // namespace lumenreel
