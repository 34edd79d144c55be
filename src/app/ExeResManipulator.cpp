#include "app/ExeResManipulator.h"

#include <cstring>

#include "app/ProgramImage.h"
#include "base/DiskFile.h"

namespace lumenreel {

void ProgramResources::addCompiledIn(std::uint32_t id, std::span<const std::uint8_t> bytes) {
    m_compiledIn[id] = bytes;
}

void ProgramResources::addAppended(ResourceTable resources) {
    for (auto& [id, bytes] : resources)
        m_appended[id] = std::move(bytes);
}

const std::vector<std::uint8_t>* ProgramResources::appended(std::uint32_t id) const {
    auto found = m_appended.find(id);
    return found == m_appended.end() ? nullptr : &found->second;
}

std::span<const std::uint8_t> ProgramResources::find(std::uint32_t id) const {
    if (auto appended = m_appended.find(id); appended != m_appended.end())
        return appended->second;
    if (auto compiled = m_compiledIn.find(id); compiled != m_compiledIn.end())
        return compiled->second;
    return {};
}

bool readAppendedResources(const std::filesystem::path& program, ProgramResources& resources,
                           std::string& problem) {
    CDiskFile file;
    if (!file.Open(program.string(), CDiskFile::Mode::read))
        return false;
    TrailerContents contents = readResourceTrailer(file);
    if (contents.status == TrailerContents::Status::damaged)
        problem = contents.problem;
    // Without a trailer at the very end, bytes past the program's own image are a bundle that
    // was cut short or had bytes added after it; playing nothing then needs saying.
    const std::optional<std::uint64_t> imageEnd = programImageEnd(file);
    const std::uint64_t length = file.GetLength();
    if (contents.status == TrailerContents::Status::absent && imageEnd && length > *imageEnd)
        problem = std::to_string(length - *imageEnd) +
                  " bytes after the program are no complete bundle (cut short, or bytes were "
                  "added after it)";
    resources.addAppended(std::move(contents.resources));
    return true;
}

}  // namespace lumenreel

bool CExeResManipulator::AttachModule(const lumenreel::ProgramResources* module) {
    Release();
    m_module = module;
    return m_module != nullptr;
}

std::uint32_t CExeResManipulator::GetResourceSize(std::uint32_t id) const {
    return m_module ? static_cast<std::uint32_t>(m_module->find(id).size()) : 0;
}

const std::uint8_t* CExeResManipulator::GetResourceData(std::uint32_t id) const {
    if (!m_module)
        return nullptr;
    std::span<const std::uint8_t> bytes = m_module->find(id);
    return bytes.empty() ? nullptr : bytes.data();
}

std::uint32_t CExeResManipulator::CopyResource(std::uint32_t id, std::uint8_t* destination) const {
    const std::uint32_t size = GetResourceSize(id);
    const std::uint8_t* bytes = GetResourceData(id);
    if (size == 0 || !bytes)
        return 0;
    std::memcpy(destination, bytes, size);
    return size;
}
