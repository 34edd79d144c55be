#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace lumenreel::cli {

// A library the player program loads: the name it asks for and the file the loader finds.
struct LoadedLibrary {
    std::string soname;
    std::filesystem::path file;
};

// The libraries the loader resolves for the program (through ldd), less those every Linux
// desktop provides itself; false with the reason when the loader cannot list them.
bool portableLibraries(const std::filesystem::path& program, std::vector<LoadedLibrary>& out,
                       std::string& reason);

// Whether a library is the system's own: the C library and its loader, and the window system's,
// graphics drivers' and sound servers' libraries, which must match the machine they run on.
bool isSystemLibrary(const std::string& soname);

// One file that runs anywhere: a shell script that unpacks the bundled player and the libraries
// after it into a temporary folder, runs the player there with its arguments, and removes the
// folder when the player ends. False with the reason when a library cannot be read.
bool makePortableBundle(std::span<const std::uint8_t> bundle,
                        const std::vector<LoadedLibrary>& libraries, std::vector<std::uint8_t>& out,
                        std::string& reason);

}  // namespace lumenreel::cli
