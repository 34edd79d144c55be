#pragma once

#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace lumenreel {

// The desktop's own file-open dialog, run as a separate program (zenity or kdialog).
class FileChooser {
public:
    // Files offered together under one name, e.g. "Published demos" and {"*.zcd"}.
    struct Filter {
        std::string description;
        std::vector<std::string> patterns;
        friend bool operator==(const Filter&, const Filter&) = default;
    };
    struct Request {
        std::string title;
        std::vector<Filter> filters;  // the first one is offered first
    };

    // The filters of a dialog filter text: descriptions and patterns alternating between bars,
    // patterns split at semicolons, as in "Demos (*.zcd)|*.zcd|All files (*.*)|*.*||".
    static std::vector<Filter> parseFilterText(const std::string& text);

    // The first chooser program found on the PATH; nothing when there is none.
    static std::optional<FileChooser> find();

    // Blocks until the user chose (the path) or cancelled (nothing); a stop asked for closes it.
    std::optional<std::filesystem::path> choose(const Request& request,
                                                std::stop_token stop = {}) const;

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
