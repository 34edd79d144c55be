#include "themes/ThemeFiles.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "base/FileBytes.h"
#include "storage/RBFileSystem.h"

namespace lumenreel {

ThemeFiles ThemeFiles::onDisk(std::filesystem::path startFolder) {
    ThemeFiles files;
    files.m_start = std::move(startFolder);
    return files;
}

ThemeFiles ThemeFiles::inPackage(CRBFileSystem& package) {
    ThemeFiles files;
    files.m_package = &package;
    return files;
}

std::filesystem::path ThemeFiles::diskPath(std::string_view path) const {
    std::string relative(path);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    if (relative.empty())
        return m_start.empty() ? std::filesystem::path(".") : m_start;
    return m_start.empty() ? std::filesystem::path(relative) : m_start / relative;
}

std::vector<ThemeEntry> ThemeFiles::list(std::string_view folder) const {
    std::vector<ThemeEntry> entries;
    if (m_package) {
        std::vector<std::string> names;
        if (!m_package->ListDirectory(folder, names))
            return entries;
        for (std::string& name : names) {
            // Such names cannot be reached by a path.
            if (name.empty() || name.find('\\') != std::string::npos)
                continue;
            const bool isFolder = m_package->IsDirectory(joinThemePath(folder, name));
            entries.push_back({std::move(name), isFolder});
        }
        return entries;
    }
    std::error_code error;
    for (std::filesystem::directory_iterator it(diskPath(folder), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code kindError;
        entries.push_back({it->path().filename().string(), it->is_directory(kindError)});
    }
    std::sort(entries.begin(), entries.end(),
              [](const ThemeEntry& a, const ThemeEntry& b) { return a.name < b.name; });
    return entries;
}

std::optional<std::vector<std::uint8_t>> ThemeFiles::read(std::string_view path,
                                                          std::uint64_t limit,
                                                          std::string& why) const {
    if (m_package) {
        auto file = m_package->OpenFile(path);
        if (!file || m_package->IsDirectory(path)) {
            why = "not found";
            return std::nullopt;
        }
        if (file->GetLength() > limit) {
            why = "larger than " + std::to_string(limit) + " bytes";
            return std::nullopt;
        }
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file->GetLength()));
        if (!file->ReadExact(bytes.data(), bytes.size())) {
            why = "cannot be read";
            return std::nullopt;
        }
        return bytes;
    }
    FileBytes file = readFileBytes(diskPath(path), limit);
    if (!file.ok()) {
        why = file.missing ? "not found" : file.error;
        return std::nullopt;
    }
    return std::move(file.bytes);
}

bool ThemeFiles::write(std::string_view path, std::span<const std::uint8_t> bytes,
                       std::string& why) const {
    if (m_package) {
        why = "a published package is read only";
        return false;
    }
    std::ofstream out(diskPath(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        why = "cannot be written";
        return false;
    }
    return true;
}

std::string joinThemePath(std::string_view a, std::string_view b) {
    if (a.empty())
        return std::string(b);
    if (b.empty())
        return std::string(a);
    std::string joined(a);
    joined += '\\';
    joined += b;
    return joined;
}

}  // namespace lumenreel
