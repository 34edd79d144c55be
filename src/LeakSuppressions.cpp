// Fontconfig keeps its font cache for the life of the process, partly reachable only through
// mapped cache files the leak checker does not scan; those blocks are not leaks of ours. Linked
// into every program that may draw text (the command, the player, the tour maker, the tests);
// it only matters to builds with the leak checker.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
