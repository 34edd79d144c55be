#include "app/FolderListing.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace lumenreel {
namespace {

std::string lowered(std::string text) {
    std::ranges::transform(text, text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool listedBefore(const FolderListing::Entry& a, const FolderListing::Entry& b) {
    if (a.folder != b.folder)
        return a.folder;
    const std::string la = lowered(a.name);
    const std::string lb = lowered(b.name);
    // Names equal but for case keep one order every time.
    return la != lb ? la < lb : a.name < b.name;
}

}  // namespace

bool isMovieFileName(const std::string& name) {
    const std::string extension = lowered(std::filesystem::path(name).extension().string());
    return extension == ".zcd" || extension == ".zcs";
}

FolderListing listFolder(const std::filesystem::path& folder) {
    FolderListing listing;
    listing.folder = folder;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with('.'))
            continue;
        std::error_code typeError;
        // A link is what it points to, a dangling one nothing.
        const bool isFolder = it->is_directory(typeError);
        if (isFolder || (it->is_regular_file(typeError) && isMovieFileName(name)))
            listing.entries.push_back({name, isFolder});
    }
    if (error) {
        listing.entries.clear();
        listing.error = error.message();
        return listing;
    }
    std::ranges::sort(listing.entries, listedBefore);
    return listing;
}

}  // namespace lumenreel
