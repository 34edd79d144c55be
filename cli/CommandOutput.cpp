#include "cli/CommandOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/CommandFailure.h"
#include "cli/ExitCodes.h"

namespace lumenreel::cli {

bool namesStandardOutput(const std::string& output) {
    return output == "-";
}

CommandOutput::CommandOutput(std::string name, mode_t mode) : m_name(std::move(name)) {
    if (namesStandardOutput(m_name))
        return;
    m_file.emplace(m_name, mode);
    if (!m_file->open())
        failCommand(kExitBadInput, m_name, m_file->error());
}

void CommandOutput::write(std::span<const std::uint8_t> bytes) {
    if (m_file) {
        if (!m_file->write(bytes))
            failCommand(kExitBadInput, m_name, m_file->error());
        return;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
        failCommand(kExitBadInput, "standard output", std::strerror(errno));
}

void CommandOutput::commit() {
    if (m_file) {
        if (!m_file->commit())
            failCommand(kExitBadInput, m_name, m_file->error());
        return;
    }
    if (std::fflush(stdout) != 0)
        failCommand(kExitBadInput, "standard output", std::strerror(errno));
}

void writeOutputOrExit(const std::string& output, std::span<const std::uint8_t> bytes,
                       mode_t mode) {
    CommandOutput out(output, mode);
    out.write(bytes);
    out.commit();
}

}  // namespace lumenreel::cli
