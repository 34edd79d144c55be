#include "cli/NearestCommand.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace lumenreel::cli {
namespace {

// Letters to insert, delete or change to turn one word into the other.
std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

bool refuseUnknownCommand(const CLI::App& app, const std::string& word) {
    if (word.empty() || word[0] == '-')
        return false;
    std::string nearest;
    std::size_t best = 0;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        if (command->get_name() == word)
            return false;
        const std::size_t distance = editDistance(word, command->get_name());
        if (nearest.empty() || distance < best) {
            nearest = command->get_name();
            best = distance;
        }
    }
    std::fprintf(stderr, "lumenreel: %s: not a command", word.c_str());
    if (!nearest.empty() && best <= std::max<std::size_t>(2, word.size() / 2))
        std::fprintf(stderr, "; did you mean %s?", nearest.c_str());
    std::fprintf(stderr, " (lumenreel --help lists them)\n");
    return true;
}

}  // namespace lumenreel::cli
