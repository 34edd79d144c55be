#include "storage/PlayerTranslateInterface.h"

#include <vector>

#include "base/CodePage.h"
#include "storage/RBFileSystem.h"

namespace {

void replaceAll(std::string& text, std::string_view from, char to) {
    std::size_t at = 0;
    while ((at = text.find(from, at)) != std::string::npos) {
        text.replace(at, from.size(), 1, to);
        ++at;
    }
}

}  // namespace

CPlayerTranslateInterface::CPlayerTranslateInterface(CRBFileSystem& fileSystem) {
    auto file = fileSystem.OpenFile(kFileName);
    if (!file)
        return;
    std::vector<char> bytes(static_cast<std::size_t>(file->GetLength()));
    if (!file->ReadExact(bytes.data(), bytes.size()))
        return;
    std::string_view text(bytes.data(), bytes.size());
    // Lines end in CR LF; a bare LF ends one too.
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        addLine(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
}

void CPlayerTranslateInterface::addLine(std::string_view line) {
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return;
    // The first occurrence of a key wins.
    m_table.try_emplace(lumenreel::ansiToUpper(line.substr(0, equals)), line.substr(equals + 1));
}

std::string CPlayerTranslateInterface::Translate(const std::string& key) {
    auto found = m_table.find(lumenreel::ansiToUpper(key));
    if (found == m_table.end())
        return {};
    std::string value = found->second;
    if (key.find('%') == std::string::npos) {
        replaceAll(value, "\\n", '\n');
        replaceAll(value, "\\t", '\t');
    }
    return value;
}
