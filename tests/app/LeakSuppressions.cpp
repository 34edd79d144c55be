// Fontconfig keeps its font cache for the life of the process, partly reachable only through
// mapped cache files the leak checker does not scan; the window's texts load it.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
