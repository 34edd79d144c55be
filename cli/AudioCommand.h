#pragma once

#include <CLI/CLI.hpp>

namespace lumenreel::cli {

// `lumenreel audio FILE --output OUT.wav`: a published demo's soundtrack as PCM WAV.
void addAudioCommand(CLI::App& app);

}  // namespace lumenreel::cli
