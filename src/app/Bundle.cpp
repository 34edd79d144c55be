#include "app/Bundle.h"

#include "app/ExeResManipulator.h"
#include "app/PlayerDialog.h"
#include "app/ResourceTrailer.h"
#include "base/MemFile.h"
#include "document/ZephyrcastBaseDocument.h"
#include "player/MovieKind.h"
#include "published/ExternalFormatReader.h"
#include "storage/RBFileSystem.h"

namespace lumenreel {

bool makeBundle(std::span<const std::uint8_t> player, std::span<const std::uint8_t> movie,
                std::optional<std::span<const std::uint8_t>> skin, std::vector<std::uint8_t>& out,
                std::string& reason) {
    ResourceTable resources;
    const std::optional<MovieKind> kind = movieKindOf(movie);
    if (kind == MovieKind::ZCD) {
        // A demo that will not play is better refused now than shipped.
        NKWXDecodersEncoders::CExternalFormatReader reader;
        if (!reader.Load(movie)) {
            reason = "the published demo cannot be read: " + reader.lastError();
            return false;
        }
        resources[CZephyrcastPlayerDlg::kZcdResource].assign(movie.begin(), movie.end());
    } else if (kind == MovieKind::ZCS) {
        CZephyrcastBaseDocument document;
        if (!document.load(movie)) {
            reason = "the document cannot be read: " + document.lastError();
            return false;
        }
        resources[CZephyrcastPlayerDlg::kZcsResource].assign(movie.begin(), movie.end());
    } else {
        reason = "not a Lumenreel movie (neither a published demo nor a document)";
        return false;
    }
    if (skin) {
        if (!isSkinPackage(*skin)) {
            reason = "the skin is not a skin package";
            return false;
        }
        resources[CZephyrcastPlayerDlg::kSkinResource].assign(skin->begin(), skin->end());
    }

    std::uint64_t total = 0;
    for (const auto& [id, bytes] : resources)
        total += bytes.size();
    if (total > trailer::kMaxAppendedBytes) {
        reason = "the movie is too large to bundle";
        return false;
    }
    CKWXOleStreamFile program(player);
    const TrailerContents existing = readResourceTrailer(program);
    const std::vector<std::uint8_t> trailer = makeResourceTrailer(resources);
    out.assign(player.begin(), player.begin() + static_cast<std::ptrdiff_t>(existing.programSize));
    out.insert(out.end(), trailer.begin(), trailer.end());
    return true;
}

bool isSkinPackage(std::span<const std::uint8_t> bytes) {
    CKWXOleStreamFile stream(bytes);
    CRBFileSystem package;
    return package.Attach(&stream, CRBFileSystem::modeRead);
}

std::vector<std::string> dropUnusableBundledResources(ProgramResources& resources) {
    std::vector<std::string> dropped;
    if (const auto* skin = resources.appended(CZephyrcastPlayerDlg::kSkinResource);
        skin && !isSkinPackage(*skin)) {
        resources.removeAppended(CZephyrcastPlayerDlg::kSkinResource);
        dropped.push_back("the bundled skin is not a skin package; the built-in skin is used");
    }
    if (resources.appended(CZephyrcastPlayerDlg::kZcdResource) &&
        resources.appended(CZephyrcastPlayerDlg::kZcsResource)) {
        resources.removeAppended(CZephyrcastPlayerDlg::kZcsResource);
        dropped.push_back("the bundle carries a published demo and a document; the demo plays");
    }
    return dropped;
}

}  // namespace lumenreel
