#include "app/MovieFile.h"

#include "published/LoadLimits.h"

namespace lumenreel {

MovieFile readMovieFile(const std::filesystem::path& path) {
    MovieFile movie;
    movie.path = path;
    movie.file = readFileBytes(path, kMaxMovieFileBytes);
    if (!movie.file.ok())
        return movie;
    movie.kind = movieKindOf(movie.file.bytes);
    if (movie.kind == MovieKind::ZCD)
        movie.reader = loadPublishedDemo(movie.file.bytes, movie.readerFailure);
    return movie;
}

std::unique_ptr<NKWXDecodersEncoders::CExternalFormatReader> loadPublishedDemo(
    std::span<const std::uint8_t> bytes, std::string& failure) {
    auto reader = std::make_unique<NKWXDecodersEncoders::CExternalFormatReader>();
    if (reader->Load(bytes))
        return reader;
    failure = reader->lastError();
    return nullptr;
}

}  // namespace lumenreel
