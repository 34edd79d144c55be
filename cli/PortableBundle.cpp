#include "cli/PortableBundle.h"

#include <array>
#include <cstdio>
#include <sstream>
#include <string_view>

#include "app/ChildProgram.h"
#include "base/FileBytes.h"
#include "storage/GzipCompression.h"

namespace lumenreel::cli {
namespace {

constexpr std::string_view kSystemLibraryPrefixes[] = {
    "ld-linux", "libc.so",      "libm.so",     "libmvec.so", "libpthread.so", "libdl.so",
    "librt.so", "libresolv.so", "libutil.so",  "libanl.so",  "libnsl.so",     "libX",
    "libxcb",   "libxkbcommon", "libwayland-", "libGL",      "libEGL",        "libOpenGL",
    "libgbm",   "libdrm",       "libvulkan",   "libasound",  "libpulse",      "libpipewire",
    "libjack",  "libsndio",     "libdbus-1",   "libsystemd", "libudev",       "libdecor",
};

// No library of a normal build comes near this.
constexpr std::uint64_t kMaxLibraryBytes = std::uint64_t{512} << 20;
constexpr std::size_t kTarBlock = 512;

// The script in front of the archive; the archive starts at the byte after it, whose position
// is written into it in a field of fixed width.
constexpr std::string_view kScript =
    "#!/bin/sh\n"
    "# A Lumenreel self-running demo: the player, the libraries it needs and the movie follow\n"
    "# this script, packed; they are unpacked into a temporary folder while the demo runs.\n"
    "set -e\n"
    "dir=$(mktemp -d \"${TMPDIR:-/tmp}/lumenreel-demo.XXXXXX\")\n"
    "trap 'rm -rf \"$dir\"' EXIT\n"
    "trap 'exit 130' INT TERM\n"
    "tail -c +@OFFSET@ \"$0\" | gzip -dc | tar -xf - -C \"$dir\"\n"
    "status=0\n"
    "LD_LIBRARY_PATH=\"$dir/lib\" \"$dir/lumenreel-player\" \"$@\" || status=$?\n"
    "exit $status\n";
constexpr std::string_view kOffsetField = "@OFFSET@";
constexpr int kOffsetWidth = 12;

std::string scriptStartingAt() {
    std::string script(kScript);
    const std::size_t field = script.find(kOffsetField);
    const std::size_t length = script.size() - kOffsetField.size() + kOffsetWidth;
    std::array<char, kOffsetWidth + 1> digits{};
    std::snprintf(digits.data(), digits.size(), "%0*zu", kOffsetWidth, length + 1);
    return script.replace(field, kOffsetField.size(), digits.data());
}

void putOctal(std::uint8_t* field, std::size_t width, std::uint64_t value) {
    std::snprintf(reinterpret_cast<char*>(field), width, "%0*llo", static_cast<int>(width - 1),
                  static_cast<unsigned long long>(value));
}

// One member of a POSIX ustar archive, its data padded to whole blocks.
void appendTarMember(std::vector<std::uint8_t>& tar, const std::string& name, unsigned mode,
                     std::span<const std::uint8_t> data) {
    std::array<std::uint8_t, kTarBlock> header{};
    name.copy(reinterpret_cast<char*>(header.data()), 99);
    putOctal(&header[100], 8, mode);
    putOctal(&header[108], 8, 0);
    putOctal(&header[116], 8, 0);
    putOctal(&header[124], 12, data.size());
    putOctal(&header[136], 12, 0);
    header[156] = '0';
    std::string_view(
        "ustar\0"
        "00",
        8)
        .copy(reinterpret_cast<char*>(&header[257]), 8);
    std::fill(&header[148], &header[156], ' ');
    unsigned sum = 0;
    for (std::uint8_t byte : header)
        sum += byte;
    std::snprintf(reinterpret_cast<char*>(&header[148]), 8, "%06o", sum);
    tar.insert(tar.end(), header.begin(), header.end());
    tar.insert(tar.end(), data.begin(), data.end());
    tar.resize(tar.size() + (kTarBlock - data.size() % kTarBlock) % kTarBlock, 0);
}

}  // namespace

bool isSystemLibrary(const std::string& soname) {
    for (std::string_view prefix : kSystemLibraryPrefixes)
        if (soname.rfind(prefix, 0) == 0)
            return true;
    return false;
}

bool portableLibraries(const std::filesystem::path& program, std::vector<LoadedLibrary>& out,
                       std::string& reason) {
    const std::optional<std::string> listing = runForOutput({"/usr/bin/ldd", program.string()});
    if (!listing) {
        reason = "ldd cannot list the libraries of " + program.string();
        return false;
    }
    std::istringstream lines(*listing);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string soname, arrow, file;
        words >> soname >> arrow >> file;
        if (arrow == "=>" && file.rfind('/', 0) == 0 && !isSystemLibrary(soname))
            out.push_back({soname, file});
        else if (arrow == "=>" && file == "not")
            reason = soname + " is not found on this machine";
    }
    return reason.empty();
}

bool makePortableBundle(std::span<const std::uint8_t> bundle,
                        const std::vector<LoadedLibrary>& libraries, std::vector<std::uint8_t>& out,
                        std::string& reason) {
    std::vector<std::uint8_t> tar;
    appendTarMember(tar, "lumenreel-player", 0755, bundle);
    for (const LoadedLibrary& library : libraries) {
        if (library.soname.size() > 90) {
            reason = library.soname + ": the name is too long to pack";
            return false;
        }
        const FileBytes file = readFileBytes(library.file, kMaxLibraryBytes);
        if (!file.ok()) {
            reason = library.file.string() + ": " + file.error;
            return false;
        }
        appendTarMember(tar, "lib/" + library.soname, 0644, file.bytes);
    }
    tar.resize(tar.size() + 2 * kTarBlock, 0);
    const GzipMemWriter packed{std::span<const std::uint8_t>(tar)};
    if (!packed.IsComplete()) {
        reason = "cannot compress the libraries";
        return false;
    }
    const std::string script = scriptStartingAt();
    out.assign(script.begin(), script.end());
    out.insert(out.end(), packed.Bytes().begin(), packed.Bytes().end());
    return true;
}

}  // namespace lumenreel::cli
