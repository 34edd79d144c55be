#include "cli/WaveOutput.h"

#include "cli/CommandFailure.h"
#include "cli/CommandOutput.h"
#include "cli/ExitCodes.h"

namespace lumenreel::cli {

WaveOutput::WaveOutput(std::string output, const WaveFormat& format)
    : m_output(std::move(output)), m_format(format) {
    if (namesStandardOutput(m_output))
        return;
    m_file.emplace(m_output, format);
    if (!m_file->IsOpen())
        failed();
}

void WaveOutput::failed() const {
    const std::string reason = m_file ? m_file->error() : "";
    failCommand(kExitBadInput, m_output,
                reason.empty() ? "more sound than a WAV file can hold" : reason);
}

void WaveOutput::append(std::span<const std::uint8_t> samples) {
    if (m_file) {
        if (!m_file->Append(samples))
            failed();
        return;
    }
    if (m_held.size() + samples.size() > WavFileWriter::kMaxDataBytes)
        failed();
    m_held.insert(m_held.end(), samples.begin(), samples.end());
}

void WaveOutput::finish() {
    if (m_file) {
        if (!m_file->Finish())
            failed();
        return;
    }
    CommandOutput out(m_output);
    out.write(wavHeader(m_format, static_cast<std::uint32_t>(m_held.size())));
    out.write(m_held);
    constexpr std::uint8_t kPad[1] = {0};
    if (m_held.size() & 1)
        out.write(kPad);
    out.commit();
}

}  // namespace lumenreel::cli
