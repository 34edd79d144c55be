#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lumenreel::test {

// A fixture file under tests/data.
std::filesystem::path dataPath(const std::string& relative);
// The build tree (where the lumenreel programs are).
std::filesystem::path binaryDir();

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A fresh folder removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Sets or unsets an environment variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<std::string>& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Result of running an outside program.
struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a command line through /bin/sh, capturing standard output and error.
CommandResult runCommand(const std::string& commandLine);
// True when the named program is on PATH (tests of outside tools skip without it).
bool haveProgram(const std::string& name);
// Quotes a path or word for a /bin/sh command line.
std::string shellQuote(const std::string& word);

// The fields `lumenreel info` prints in its text form that its help does not explain.
std::vector<std::string> unexplainedInfoFields(const std::string& infoText);

}  // namespace lumenreel::test
