#include "app/FileChooser.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "app/ChildProgram.h"

namespace lumenreel {

std::optional<std::filesystem::path> findOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path)
        return std::nullopt;
    std::stringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (folder.empty())
            continue;
        std::filesystem::path candidate = std::filesystem::path(folder) / program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

std::optional<FileChooser> FileChooser::find() {
    if (auto zenity = findOnPath("zenity"))
        return FileChooser(Kind::zenity, *zenity);
    if (auto kdialog = findOnPath("kdialog"))
        return FileChooser(Kind::kdialog, *kdialog);
    return std::nullopt;
}

std::vector<FileChooser::Filter> FileChooser::parseFilterText(const std::string& text) {
    std::vector<std::string> fields;
    std::stringstream bars(text);
    for (std::string field; std::getline(bars, field, '|');)
        fields.push_back(field);
    std::vector<Filter> filters;
    for (std::size_t i = 0; i + 1 < fields.size() && !fields[i].empty(); i += 2) {
        Filter filter{fields[i], {}};
        std::stringstream patterns(fields[i + 1]);
        for (std::string pattern; std::getline(patterns, pattern, ';');)
            if (!pattern.empty())
                filter.patterns.push_back(pattern == "*.*" ? "*" : pattern);
        if (!filter.patterns.empty())
            filters.push_back(std::move(filter));
    }
    return filters;
}

namespace {

std::string joined(const std::vector<std::string>& parts, char separator) {
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty())
            text += separator;
        text += part;
    }
    return text;
}

}  // namespace

std::vector<std::string> FileChooser::arguments(const Request& request) const {
    if (m_kind == Kind::zenity) {
        std::vector<std::string> args = {m_program.string(), "--file-selection",
                                         "--title=" + request.title};
        for (const Filter& filter : request.filters)
            args.push_back("--file-filter=" + filter.description + " | " +
                           joined(filter.patterns, ' '));
        return args;
    }
    std::vector<std::string> filters;
    for (const Filter& filter : request.filters)
        filters.push_back(joined(filter.patterns, ' ') + "|" + filter.description);
    return {m_program.string(),  "--title", request.title,
            "--getopenfilename", ".",       joined(filters, '\n')};
}

std::optional<std::filesystem::path> FileChooser::choose(const Request& request,
                                                         std::stop_token stop) const {
    // Both choosers answer a cancel with a non-zero status.
    std::optional<std::string> output = runForOutput(arguments(request), stop);
    if (!output)
        return std::nullopt;
    while (!output->empty() && (output->back() == '\n' || output->back() == '\r'))
        output->pop_back();
    if (output->empty())
        return std::nullopt;
    return std::filesystem::path(*output);
}

}  // namespace lumenreel
