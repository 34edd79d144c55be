// Writes the sample tour as a published demo.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>

#include "TourScript.h"

int main(int argc, char** argv) {
    CLI::App app{"Write the sample tour as a published demo"};
    lumenreel::tour::TourOptions options;
    std::string output;
    bool stats = false;
    app.add_option("--script", options.narrationScript, "narration.txt: frame lengths and words")
        ->required();
    app.add_option("--sound", options.narrationSound, "Ogg Vorbis soundtrack");
    app.add_option("--frames", options.frames,
                   "frames to write; more than the tour has adds scrolling frames after it")
        ->check(CLI::Range(1, 5000));
    app.add_option("--output,-o", output, "demo file to write")->required();
    app.add_flag("--stats", stats, "print how the pictures were stored");
    CLI11_PARSE(app, argc, argv);

    lumenreel::tour::Tour tour;
    std::string error;
    if (!lumenreel::tour::buildTour(options, tour, error)) {
        std::fprintf(stderr, "lumenreel-tour-maker: %s\n", error.c_str());
        return 2;
    }
    lumenreel::zcd::PictureStreamStats counts;
    auto file = lumenreel::zcd::writeZcd(tour.content, error, &counts);
    if (!file) {
        std::fprintf(stderr, "lumenreel-tour-maker: %s\n", error.c_str());
        return 2;
    }
    std::ofstream out(output, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file->data()),
              static_cast<std::streamsize>(file->size()));
    if (!out.flush()) {
        std::fprintf(stderr, "lumenreel-tour-maker: cannot write %s\n", output.c_str());
        return 2;
    }
    if (stats)
        std::printf(
            "%zu frames, %d bits per pixel: %d whole pictures, %d + %d tiles, %d tiles placed "
            "again, %d copied and %d scrolled rectangles; %zu bytes\n",
            tour.pictures.size(), counts.bitsPerPixel, counts.fullPictures, counts.smallTiles,
            counts.largeTiles, counts.listA, counts.listB, counts.listC, file->size());
    return 0;
}
