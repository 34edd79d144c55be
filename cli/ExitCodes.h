#pragma once

namespace lumenreel::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitUsage = 1;
// Unreadable or invalid input: one line "lumenreel: FILE: reason" on stderr.
inline constexpr int kExitBadInput = 2;
// A thing asked for (a key, a soundtrack, a frame) does not exist.
inline constexpr int kExitNotFound = 3;
// Stopped by Ctrl-C or a termination signal (128 + SIGINT, as shells report it).
inline constexpr int kExitInterrupted = 130;

}  // namespace lumenreel::cli
