#include "cli/InfoCommand.h"

#include <cstdio>
#include <memory>
#include <string>

#include "cli/DemoInput.h"
#include "cli/DocumentInfo.h"
#include "cli/DocumentInput.h"
#include "cli/InfoJson.h"
#include "cli/InfoSummary.h"
#include "cli/InfoText.h"
#include "published/ExternalFormatReader.h"

namespace lumenreel::cli {
namespace {

using NKWXDecodersEncoders::CExternalFormatReader;

struct InfoOptions {
    std::string path;
    bool json = false;
};

void run(const InfoOptions& options) {
    if (std::unique_ptr<OpenedDocument> opened = openDocumentIfAny(options.path)) {
        const nlohmann::ordered_json info = documentInfoJson(opened->document);
        const std::string out = options.json ? infoJsonText(info) : documentInfoText(info);
        std::fwrite(out.data(), 1, out.size(), stdout);
        return;
    }
    CExternalFormatReader reader;
    loadPublishedDemo(options.path, reader);
    const InfoSummary summary = summarize(reader);
    const std::string out = options.json ? infoJsonText(infoJson(summary)) : infoText(summary);
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// What each field of the text means; --json has the same fields, numbers without units.
constexpr const char* kFieldLegend =
    R"(Fields (--json gives the same names, times in seconds and sizes as [width, height]):
  format         ZCD for a published demo, ZCS for an authoring document
  storage_form   (ZCS) "current", or "1.0.0.0" for the older form
  display_size   the size the movie was made to be shown at, in pixels
  bitmap_size    the size of its pictures in pixels: what render and export draw
  frame_count    how many frames (positions of a document) it plays in turn
  duration       how long the whole movie plays, in seconds
  master_frame   (ZCD) the frame standing for the whole movie: its id and duration
  frames         each frame's index, id, start on the movie's clock and duration, in seconds;
                 for a demo, when its cursor glides, in seconds from the frame's start; for a
                 document, whether it plays (hidden ones do not) and its label
  pool_pictures  (ZCD) pictures stored once for the objects that show them
  cursors        how many cursor pictures the movie holds
  captions       how many speech-balloon captions
  images         how many pictures that fade in and out
  highlights     how many highlight rectangles
  sound_effects  (ZCS) how many sound effect items
  unknown_items  (ZCS) items of a kind this program does not know; kept but not drawn
  soundtrack     its kind, the bytes it takes in the file and its sample format, or none
  theme          (ZCS) the balloon theme the captions are drawn from, and its item sets
  skipped        what could not be read and was left out, in the reader's words)";

}  // namespace

void addInfoCommand(CLI::App& app) {
    auto options = std::make_shared<InfoOptions>();
    CLI::App* info = app.add_subcommand(
        "info", "Describe a published demo (ZCD) or an authoring document (ZCS)");
    info->add_option("FILE", options->path, "published demo or document file")->required();
    info->add_flag("--json", options->json, "print JSON instead of text");
    info->footer(kFieldLegend);
    info->callback([options] { run(*options); });
}

}  // namespace lumenreel::cli
