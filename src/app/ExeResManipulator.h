#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <span>
#include <string>

#include "app/ResourceTrailer.h"

namespace lumenreel {

// The raw resources of the running program: those compiled in, and those appended to its file,
// which replace compiled-in ones of the same id.
class ProgramResources {
public:
    // The bytes stay where they are; they must outlive this object.
    void addCompiledIn(std::uint32_t id, std::span<const std::uint8_t> bytes);
    void addAppended(ResourceTable resources);
    // The appended bytes of id, or nothing; the compiled-in resource then answers find().
    const std::vector<std::uint8_t>* appended(std::uint32_t id) const;
    void removeAppended(std::uint32_t id) { m_appended.erase(id); }
    std::span<const std::uint8_t> find(std::uint32_t id) const;

private:
    std::map<std::uint32_t, std::span<const std::uint8_t>> m_compiledIn;
    ResourceTable m_appended;
};

// Reads the resources appended to the program file at path into resources. A damaged trailer is
// ignored; problem then says why. False only when the file cannot be opened.
bool readAppendedResources(const std::filesystem::path& program, ProgramResources& resources,
                           std::string& problem);

}  // namespace lumenreel

// Answers the size and the bytes of a raw resource of a module by numeric id.
class CExeResManipulator {
public:
    CExeResManipulator() = default;
    virtual ~CExeResManipulator() { Release(); }
    CExeResManipulator(const CExeResManipulator&) = delete;
    CExeResManipulator& operator=(const CExeResManipulator&) = delete;

    // Binds to a module's resources (not owned); false for none.
    virtual bool AttachModule(const lumenreel::ProgramResources* module);
    // 0 when unbound or missing.
    virtual std::uint32_t GetResourceSize(std::uint32_t id) const;
    // Null when unbound, missing or empty; valid while the module lives.
    virtual const std::uint8_t* GetResourceData(std::uint32_t id) const;
    // Copies GetResourceSize(id) bytes to the destination and returns that size; 0 when missing
    // or empty, leaving the destination untouched.
    virtual std::uint32_t CopyResource(std::uint32_t id, std::uint8_t* destination) const;
    virtual void Release() { m_module = nullptr; }
    virtual bool IsOpen() const { return HasModule(); }
    virtual bool HasModule() const { return m_module != nullptr; }

private:
    const lumenreel::ProgramResources* m_module = nullptr;
};
