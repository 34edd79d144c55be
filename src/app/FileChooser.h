#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lumenreel {

// The desktop's own file-open dialog, run as a separate program (zenity or kdialog).
class FileChooser {
public:
    struct Request {
        std::string title;
        std::string description;  // of the files offered, e.g. "Published demos"
        std::string pattern;      // e.g. "*.zcd"
    };

    // The first chooser program found on the PATH; nothing when there is none.
    static std::optional<FileChooser> find();

    // Blocks until the user chose (the path) or cancelled (nothing).
    std::optional<std::filesystem::path> choose(const Request& request) const;

    // The command line the chooser runs with, program first.
    std::vector<std::string> arguments(const Request& request) const;

private:
    enum class Kind { zenity, kdialog };
    FileChooser(Kind kind, std::filesystem::path program) : m_kind(kind), m_program(program) {}

    Kind m_kind;
    std::filesystem::path m_program;
};

// The program's full path when it is on the PATH.
std::optional<std::filesystem::path> findOnPath(const std::string& program);

}  // namespace lumenreel
