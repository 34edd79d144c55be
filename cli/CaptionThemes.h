#pragma once

#include "themes/ThemeFiles.h"

namespace lumenreel::cli {

// Where a document's captions take their balloons from: the working folder's theme packages
// when it holds balloon item sets, else the skin compiled into the program, as the player does.
ThemeFiles captionThemes();

}  // namespace lumenreel::cli
