#include "support/TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace lumenreel::test {

std::filesystem::path dataPath(const std::string& relative) {
    return std::filesystem::path(LUMENREEL_TEST_DATA_DIR) / relative;
}

std::filesystem::path binaryDir() {
    return LUMENREEL_BINARY_DIR;
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lumenreel-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

CommandResult runCommand(const std::string& commandLine) {
    TempDir scratch;
    std::string full = commandLine + " >" + shellQuote((scratch / "out").string()) + " 2>" +
                       shellQuote((scratch / "err").string());
    int status = std::system(full.c_str());
    CommandResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto out = readBytes(scratch / "out");
    auto err = readBytes(scratch / "err");
    result.out.assign(out.begin(), out.end());
    result.err.assign(err.begin(), err.end());
    return result;
}

std::vector<std::string> unexplainedInfoFields(const std::string& infoText) {
    const std::string help =
        runCommand(shellQuote((binaryDir() / "lumenreel").string()) + " info --help").out;
    std::vector<std::string> missing;
    std::istringstream lines(infoText);
    for (std::string line; std::getline(lines, line);) {
        // Indented lines belong to the field above them.
        if (line.empty() || line[0] == ' ')
            continue;
        const std::string field = line.substr(0, line.find(':'));
        if (help.find("  " + field) == std::string::npos)
            missing.push_back(field);
    }
    return missing;
}

bool haveProgram(const std::string& name) {
    return runCommand("command -v " + shellQuote(name)).exitCode == 0;
}

std::string shellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

namespace {

void setVariable(const char* name, const std::optional<std::string>& value) {
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

}  // namespace

ScopedVariable::ScopedVariable(const char* name, const std::optional<std::string>& value)
    : m_name(name) {
    if (const char* old = std::getenv(name))
        m_old = old;
    setVariable(name, value);
}

ScopedVariable::~ScopedVariable() {
    setVariable(m_name, m_old);
}

}  // namespace lumenreel::test
