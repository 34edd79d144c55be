#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "base/FileBytes.h"
#include "player/MovieKind.h"
#include "published/ExternalFormatReader.h"

namespace lumenreel {

// A movie file read, and parsed when it is a published demo. Made on any thread, so the player
// reads it while its window opens; a document is parsed by the dialog, which holds the balloon
// themes documents draw with.
struct MovieFile {
    std::filesystem::path path;
    FileBytes file;
    // Of a file that was read; nothing when it is neither kind.
    std::optional<MovieKind> kind;
    // A published demo loaded from the file's bytes, which it reads from as long as it lives;
    // null when it could not be loaded, readerFailure saying why.
    std::unique_ptr<NKWXDecodersEncoders::CExternalFormatReader> reader;
    std::string readerFailure;
};

MovieFile readMovieFile(const std::filesystem::path& path);

// The published demo in the bytes, which must outlive it; null (with the reason) when it cannot
// be loaded.
std::unique_ptr<NKWXDecodersEncoders::CExternalFormatReader> loadPublishedDemo(
    std::span<const std::uint8_t> bytes, std::string& failure);

}  // namespace lumenreel
