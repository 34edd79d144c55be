#pragma once

#include <utility>

#include "themes/ThemeFiles.h"

// The common base of everything that looks for theme files: it knows where they are read from.
class AThemeStartDirectory {
public:
    explicit AThemeStartDirectory(lumenreel::ThemeFiles files) : m_files(std::move(files)) {}
    virtual ~AThemeStartDirectory() = default;

    // The folder theme paths are relative to; empty for the working folder (and in a package).
    virtual std::filesystem::path startFolder() const { return m_files.startFolder(); }
    const lumenreel::ThemeFiles& files() const { return m_files; }

private:
    lumenreel::ThemeFiles m_files;
};
