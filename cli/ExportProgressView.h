#pragma once

#include <string>

#include "export/MovieExport.h"

namespace lumenreel::cli {

// How an export shows its progress: a bar on a terminal (nothing when stderr is not one), one
// JSON line per update on stdout for scripts and front-ends, or nothing at all.
class ExportProgressView {
public:
    enum class Kind { bar, json, none };

    explicit ExportProgressView(Kind kind);
    void update(const ExportProgress& progress);
    // The closing line: what was written, how large, how long it took.
    void summarize(const ExportResult& result, const std::string& output, const char* format);

private:
    Kind m_kind;
    bool m_barShown = false;
    double m_lastShown = -1;
};

}  // namespace lumenreel::cli
