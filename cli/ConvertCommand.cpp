#include "cli/ConvertCommand.h"

#include <memory>
#include <string>

#include "base/ReplacingFile.h"
#include "cli/CommandFailure.h"
#include "cli/DocumentInput.h"
#include "cli/ExitCodes.h"

namespace lumenreel::cli {
namespace {

struct ConvertOptions {
    std::string path;
    std::string output;
};

void run(const ConvertOptions& options) {
    std::unique_ptr<OpenedDocument> opened = openDocumentIfAny(options.path);
    if (!opened)
        failCommand(kExitBadInput, options.path, "not an authoring document");
    const auto bytes = opened->document.save();
    if (!bytes)
        failCommand(kExitBadInput, options.output, opened->document.lastError());
    std::string error;
    if (!replaceFile(options.output, *bytes, error))
        failCommand(kExitBadInput, options.output, error);
}

}  // namespace

void addConvertCommand(CLI::App& app) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* command = app.add_subcommand(
        "convert", "Write an authoring document (either storage form) in the current form");
    command->add_option("FILE", options->path, "the document")->required();
    command->add_option("--output", options->output, "the document file to write")->required();
    command->callback([options] { run(*options); });
}

}  // namespace lumenreel::cli
