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

}  // namespace

void addInfoCommand(CLI::App& app) {
    auto options = std::make_shared<InfoOptions>();
    CLI::App* info = app.add_subcommand(
        "info", "Describe a published demo (ZCD) or an authoring document (ZCS)");
    info->add_option("FILE", options->path, "published demo or document file")->required();
    info->add_flag("--json", options->json, "print JSON instead of text");
    info->callback([options] { run(*options); });
}

}  // namespace lumenreel::cli
