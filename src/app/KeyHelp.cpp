#include "app/KeyHelp.h"

namespace lumenreel {

std::vector<std::string> keyHelpLines() {
    return {
        "Space — play / pause",
        "Left / Right — back / forward 5 s (also the mouse wheel)",
        "Up / Down — forward / back 60 s",
        ", / . — one picture back / forward (pauses)",
        "Home / End — start / end",
        "Page Up / Page Down — previous / next frame",
        "f, F12, double click — full screen; Escape leaves it",
        "m — mute;  9 / 0 — volume down / up",
        "l — loop on / off",
        "[ / ] — slower / faster (×0.5 to ×2, the sound keeps its pitch);  Backspace — ×1",
        "s — save this moment as a PNG picture next to the movie",
        "i — statistics;  ? or F1 — this help",
        "F4 — open a published demo;  F3 — open a document",
        "q or F2 — quit",
    };
}

}  // namespace lumenreel
