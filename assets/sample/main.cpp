// Writes the sample tour as a published demo, as an authoring document, or both.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <span>

#include "TourDocument.h"
#include "TourScript.h"
#include "player/SkinEmbedded.h"
#include "player/SkinPackage.h"
#include "themes/PlayerThemes.h"
#include "themes/ThemeFiles.h"

namespace {

bool writeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

int fail(const std::string& error) {
    std::fprintf(stderr, "lumenreel-tour-maker: %s\n", error.c_str());
    return 2;
}

// The document's captions draw from the balloons of the skin compiled into the player.
bool writeDocument(const lumenreel::tour::TourPlan& plan, const std::string& path,
                   std::string& error) {
    CSkinPackage skin;
    if (!skin.Open(lumenreel::embeddedSkinPackage())) {
        error = "the compiled-in skin is not a package";
        return false;
    }
    CThemesManagerZC themes(lumenreel::ThemeFiles::inPackage(*skin.FileSystem()));
    lumenreel::CZephyrcastBaseDocument document(&themes);
    if (!lumenreel::tour::buildTourDocument(plan, document, error))
        return false;
    auto bytes = document.save();
    if (!bytes) {
        error = document.lastError();
        return false;
    }
    if (!writeFile(path, *bytes)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Write the sample tour as a published demo and as an authoring document"};
    lumenreel::tour::TourOptions options;
    std::string output, documentOutput;
    bool stats = false;
    app.add_option("--script", options.narrationScript, "narration.txt: frame lengths and words")
        ->required();
    app.add_option("--sound", options.narrationSound, "Ogg Vorbis soundtrack");
    app.add_option("--frames", options.frames,
                   "frames to write; more than the tour has adds scrolling frames after it")
        ->check(CLI::Range(1, 5000));
    app.add_option("--output,-o", output, "published demo (.zcd) to write");
    app.add_option("--document", documentOutput, "authoring document (.zcs) to write");
    app.add_flag("--stats", stats, "print how the demo's pictures were stored");
    CLI11_PARSE(app, argc, argv);
    if (output.empty() && documentOutput.empty()) {
        std::fprintf(stderr, "lumenreel-tour-maker: give --output, --document or both\n");
        return 1;
    }

    lumenreel::tour::Tour tour;
    std::string error;
    if (!lumenreel::tour::buildTour(options, tour, error))
        return fail(error);
    if (!documentOutput.empty() && !writeDocument(tour.plan, documentOutput, error))
        return fail(error);
    if (output.empty())
        return 0;
    lumenreel::zcd::PictureStreamStats counts;
    auto file = lumenreel::zcd::writeZcd(tour.content, error, &counts);
    if (!file)
        return fail(error);
    if (!writeFile(output, *file))
        return fail("cannot write " + output);
    if (stats)
        std::printf(
            "%zu frames, %d bits per pixel: %d whole pictures, %d + %d tiles, %d tiles placed "
            "again, %d copied and %d scrolled rectangles; %zu bytes\n",
            tour.plan.pictures.size(), counts.bitsPerPixel, counts.fullPictures, counts.smallTiles,
            counts.largeTiles, counts.listA, counts.listB, counts.listC, file->size());
    return 0;
}
