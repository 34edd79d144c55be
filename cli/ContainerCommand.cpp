#include "cli/ContainerCommand.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "base/CodePage.h"
#include "base/FileBytes.h"
#include "base/ReplacingFile.h"
#include "cli/CommandFailure.h"
#include "cli/CommandOutput.h"
#include "cli/ExitCodes.h"
#include "storage/RBFileSystem.h"
#include "storage/RecursiveBinaryFile.h"

namespace lumenreel::cli {
namespace {

namespace fs = std::filesystem;
using CRFKey = CRecursiveBinaryFile::CRFKey;
using CRFKeyStructure = CRecursiveBinaryFile::CRFKeyStructure;

void openOrFail(CRecursiveBinaryFile& container, const std::string& path) {
    if (container.OpenRead(path))
        return;
    std::error_code error;
    bool readable = fs::is_regular_file(path, error);
    failCommand(kExitBadInput, path, readable ? "not a valid container" : "cannot read the file");
}

std::string keyLabel(const CRFKey& key) {
    if (!key.IsNumeric())
        return ansiToUtf8(key.GetName());
    std::string label = "#";
    return label.append(std::to_string(key.GetId()));
}

void list(const std::string& path) {
    std::vector<std::string> components;
    std::string lines;
    CRecursiveBinaryFile container;
    // The index is listed as stored, which the tree's own order need not be.
    container.SetIndexVisitor(
        [&](const CRFKey& key, std::uint32_t size, std::uint32_t offset, int depth) {
            if (depth == 0)
                return;
            components.resize(static_cast<std::size_t>(depth) - 1);
            components.push_back(keyLabel(key));
            for (std::size_t i = 0; i < components.size(); ++i) {
                if (i != 0)
                    lines += '\\';
                lines += components[i];
            }
            lines += '\t' + std::to_string(size) + '\t' + std::to_string(size ? offset : 0) + '\n';
        });
    openOrFail(container, path);
    std::fputs(lines.c_str(), stdout);
}

// Path components name keys; "#<id>" names a numeric key when no key has that name.
const CRFKeyStructure* findKey(const CRecursiveBinaryFile& container, const std::string& path,
                               std::vector<CRFKey>& keys) {
    std::vector<CRFKey> names;
    container.SplitPath(utf8ToAnsi(path), names);
    keys.clear();
    const CRFKeyStructure* node = container.GetCurrent();
    for (const CRFKey& name : names) {
        const CRFKeyStructure* child = node->FindChild(name, false);
        const std::string& text = name.GetName();
        std::uint32_t id = 0;
        if (!child && text.size() > 1 && text[0] == '#') {
            auto [end, error] = std::from_chars(text.data() + 1, text.data() + text.size(), id);
            if (error == std::errc() && end == text.data() + text.size() && id != 0) {
                child = node->FindChild(CRFKey(id), false);
            }
        }
        if (!child)
            return nullptr;
        keys.push_back(child->GetKey());
        node = child;
    }
    return node;
}

void cat(const std::string& file, const std::string& path, const std::string& output) {
    // Documents name keys exactly; packages ignore case.
    for (bool caseSensitive : {true, false}) {
        CRecursiveBinaryFile container;
        container.SetCaseSensitive(caseSensitive);
        openOrFail(container, file);
        std::vector<CRFKey> keys;
        if (!findKey(container, path, keys) || !container.EnterPath(keys))
            continue;
        CommandOutput out(output);
        std::vector<std::uint8_t> chunk(1 << 20);
        std::uint32_t size = container.GetDataSize();
        for (std::uint32_t done = 0; done < size;) {
            std::uint32_t count = std::min<std::uint32_t>(size - done, chunk.size());
            if (!container.ReadData(chunk.data(), done, count)) {
                failCommand(kExitBadInput, file, "cannot read the data of " + path);
            }
            out.write(std::span(chunk.data(), count));
            done += count;
        }
        out.commit();
        return;
    }
    failCommand(kExitNotFound, file, "no key " + path);
}

// Packages carry skins and balloon item sets; a file past this is none of theirs.
constexpr std::uint64_t kMaxPackedFileBytes = std::uint64_t{1} << 30;

// What packing leaves out, said once it is done.
using Skipped = std::vector<std::string>;

// Files are read whole and then stored, so a file that cannot be read is told apart from a
// package that cannot be written.
void addFile(CRBFileSystem& package, const fs::path& file, const std::string& path,
             Skipped& skipped) {
    FileBytes bytes = readFileBytes(file, kMaxPackedFileBytes);
    if (!bytes.ok())
        failCommand(kExitBadInput, file.string(), bytes.error);
    if (bytes.bytes.empty()) {
        skipped.push_back(file.string() + ": an empty file");
        return;
    }
    if (package.Exists(path))
        failCommand(kExitBadInput, file.string(), "the name is already taken");
    std::unique_ptr<CRBFilesystemFile> stored = package.OpenFile(path);
    if (!stored || !stored->Write(bytes.bytes.data(), bytes.bytes.size()))
        failCommand(kExitBadInput, file.string(), "cannot store it in the package");
    stored->Close();
}

// Links are never followed: one may lead out of the folder or back up into it.
void addFolder(CRBFileSystem& package, const fs::path& folder, const std::string& prefix,
               const std::vector<fs::path>& outputs, Skipped& skipped) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(*it);
    }
    if (error)
        failCommand(kExitBadInput, folder.string(), "cannot read the folder: " + error.message());
    std::sort(entries.begin(), entries.end());

    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.find('\\') != std::string::npos) {
            failCommand(kExitBadInput, entry.path().string(),
                        "a backslash cannot be part of a name");
        }
        const std::string path = prefix + utf8ToAnsi(name);
        const bool isOutput = std::any_of(outputs.begin(), outputs.end(), [&](const fs::path& p) {
            return fs::equivalent(entry.path(), p, error);
        });
        if (isOutput)
            continue;
        if (entry.is_symlink(error)) {
            skipped.push_back(entry.path().string() + ": a link, not followed");
        } else if (entry.is_directory(error)) {
            if (!package.CreateDirectory(path)) {
                failCommand(kExitBadInput, entry.path().string(), "the name is already taken");
            }
            addFolder(package, entry.path(), path + '\\', outputs, skipped);
        } else if (entry.is_regular_file(error)) {
            addFile(package, entry.path(), path, skipped);
        } else {
            skipped.push_back(entry.path().string() + ": not a regular file");
        }
    }
}

// The package appears only when every file is in it; a failure leaves nothing behind.
void pack(const std::string& folder, const std::string& output) {
    std::error_code error;
    if (!fs::is_directory(folder, error))
        failCommand(kExitBadInput, folder, "not a folder");
    ReplacingFile target(output);
    if (!target.open())
        failCommand(kExitBadInput, output, target.error());
    Skipped skipped;
    {
        CRBFileSystem package;
        if (!package.Open(target.temporaryPath(), CRBFileSystem::modeWrite))
            failCommand(kExitBadInput, output, "cannot create the package");
        addFolder(package, folder, "", {fs::absolute(output, error), target.temporaryPath()},
                  skipped);
        if (!package.Close())
            failCommand(kExitBadInput, output, "cannot write the package");
    }
    if (!target.commit())
        failCommand(kExitBadInput, output, target.error());
    for (const std::string& what : skipped)
        std::fprintf(stderr, "lumenreel: skipped %s\n", what.c_str());
}

}  // namespace

void addContainerCommand(CLI::App& app) {
    CLI::App* container =
        app.add_subcommand("container", "Inspect and make containers and packages");
    container->require_subcommand(1);

    auto listFile = std::make_shared<std::string>();
    CLI::App* listCommand = container->add_subcommand(
        "list", "One line per key: path, data size and data offset, in stored order");
    listCommand->add_option("FILE", *listFile, "Container file")->required();
    listCommand->callback([listFile] { list(*listFile); });

    auto catFile = std::make_shared<std::string>();
    auto catPath = std::make_shared<std::string>();
    auto catOutput = std::make_shared<std::string>("-");
    CLI::App* catCommand = container->add_subcommand(
        "cat", "Write a key's data to standard output or, with --output, to a file");
    catCommand->add_option("FILE", *catFile, "Container file")->required();
    catCommand->add_option("PATH", *catPath, "Key path, names joined by backslashes")->required();
    catCommand->add_option("-o,--output", *catOutput, "file to write (default -, standard output)");
    catCommand->callback([catFile, catPath, catOutput] { cat(*catFile, *catPath, *catOutput); });

    auto packFolder = std::make_shared<std::string>();
    auto packOutput = std::make_shared<std::string>();
    CLI::App* packCommand =
        container->add_subcommand("pack", "Pack a folder's files and folders into a package");
    packCommand->add_option("DIR", *packFolder, "Folder to pack")->required();
    packCommand->add_option("--output,-o", *packOutput, "Package to write")->required();
    packCommand->callback([packFolder, packOutput] { pack(*packFolder, *packOutput); });
}

}  // namespace lumenreel::cli
