#pragma once

#include <memory>
#include <string>

#include "cli/CaptionThemes.h"
#include "document/ZephyrcastBaseDocument.h"
#include "themes/PlayerThemes.h"

namespace lumenreel::cli {

// An authoring document with the themes its captions draw from.
struct OpenedDocument {
    OpenedDocument() : themes(captionThemes()), document(&themes) {}
    CThemesManagerZC themes;
    CZephyrcastBaseDocument document;
};

// The file read as an authoring document when its content is one; none when it is not (or cannot
// be read: the published-demo path reports that). A damaged document fails the command with
// exit 2 and the reason.
std::unique_ptr<OpenedDocument> openDocumentIfAny(const std::string& path);

}  // namespace lumenreel::cli
