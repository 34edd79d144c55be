// Fontconfig keeps its font cache for the life of the process, partly reachable only through
// mapped cache files the leak checker does not scan; those blocks are not leaks of ours. Linked
// into every test program (the rich text, the panel's texts and the window's messages load it).
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
