#include "cli/ConvertCommand.h"

#include <filesystem>
#include <memory>
#include <string>

#include "cli/CommandFailure.h"
#include "cli/CommandOutput.h"
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
    if (!opened) {
        std::error_code error;
        failCommand(kExitBadInput, options.path,
                    std::filesystem::is_regular_file(options.path, error)
                        ? "not an authoring document"
                        : "cannot read the file");
    }
    const auto bytes = opened->document.save();
    if (!bytes)
        failCommand(kExitBadInput, options.output, opened->document.lastError());
    writeOutputOrExit(options.output, *bytes);
}

}  // namespace

void addConvertCommand(CLI::App& app) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* command = app.add_subcommand(
        "convert", "Write an authoring document (either storage form) in the current form");
    command->add_option("FILE", options->path, "document file")->required();
    command
        ->add_option("-o,--output", options->output,
                     "document file to write, or - for standard output")
        ->required();
    command->callback([options] { run(*options); });
}

}  // namespace lumenreel::cli
