#pragma once

#include <string>

#include "TourScript.h"
#include "document/ZephyrcastBaseDocument.h"

namespace lumenreel::tour {

// The balloon item set the tour's captions ask for: the first of the default skin's.
inline constexpr const char* kTourBalloons = "Lumenreel Classic";

// Lays the plan out as an authoring document, as an author would have made it: the same frames,
// pointer, highlights and logo (on the master frame), captions as balloons of the document's
// theme, the narration as its soundtrack, and one hidden frame, an outtake that stays in the
// document without playing. The document needs its themes manager, so captions can be sized.
bool buildTourDocument(const TourPlan& plan, CZephyrcastBaseDocument& document, std::string& error);

}  // namespace lumenreel::tour
