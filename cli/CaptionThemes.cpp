#include "cli/CaptionThemes.h"

#include "player/SkinEmbedded.h"
#include "player/SkinPackage.h"
#include "themes/ThemeItemSmoke.h"

namespace lumenreel::cli {

ThemeFiles captionThemes() {
    const ThemeFiles workingFolder;
    if (!workingFolder.list(kBalloonKindFolder).empty())
        return workingFolder;
    // Read once and kept for the program's life: the theme files refer into it.
    static CSkinPackage skin;
    if (!skin.IsOpen() && !skin.Open(embeddedSkinPackage()))
        return workingFolder;
    return ThemeFiles::inPackage(*skin.FileSystem());
}

}  // namespace lumenreel::cli
