#include "player/SkinFiles.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "base/FileBytes.h"
#include "base/MemFile.h"
#include "images/ImageExt.h"
#include "images/ImageLimits.h"
#include "storage/RBFileSystem.h"
#include "storage/SerializeInterfaceXML.h"

namespace lumenreel {
namespace {

// A skin file is a picture or a short layout text: the largest picture accepted, stored
// uncompressed at 32 bits a pixel, with room for its headers and palette.
constexpr std::uint64_t kMaxSkinFileBytes = std::uint64_t(kMaxImagePixels) * 4 + (1 << 20);

// The layout keys in file order, each with the field it fills.
struct LayoutEntry {
    const char* key;
    Box SkinLayout::*box;  // null for the one point entry
};

constexpr LayoutEntry kLayoutEntries[] = {
    {"play_button_rect", &SkinLayout::play},
    {"stop_button_rect", &SkinLayout::stop},
    {"pause_button_rect", &SkinLayout::pause},
    {"rew_button_rect", &SkinLayout::rew},
    {"fwd_button_rect", &SkinLayout::fwd},
    {"loop_button_rect", &SkinLayout::loop},
    {"fit_button_rect", &SkinLayout::fit},
    {"start_pointer_pos", nullptr},
    {"slider_rect", &SkinLayout::slider},
    {"text_area", &SkinLayout::textArea},
    {"record_button_rect", &SkinLayout::record},
    {"fullscreen_button_rect", &SkinLayout::fullscreen},
};

std::filesystem::path diskPath(const std::string& name, const SkinSource& source) {
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return source.diskBase.empty() ? std::filesystem::path(relative) : source.diskBase / relative;
}

// The file keeps a box in a rectangle value: its four numbers are a corner and a size. A value
// the file lacks leaves the box as it was.
void exchangeBox(CSerializeInterface& archive, Box& box) {
    Rect stored{box.x, box.y, box.width, box.height};
    archive.ExchangeRect(stored);
    box = {stored.left, stored.top, stored.right, stored.bottom};
}

SkinLayout readXmlLayout(std::span<const std::uint8_t> bytes) {
    SkinLayout layout;
    CKWXOleStreamFile stream(bytes);
    CSerializeInterfaceXML archive(stream, CSerializeInterface::modeLoad);
    if (!archive.EnterSection("cfg_size"))
        return layout;
    for (const LayoutEntry& entry : kLayoutEntries) {
        archive.SetKey(entry.key);
        if (entry.box)
            exchangeBox(archive, layout.*entry.box);
        else
            archive.ExchangePoint(layout.startPointer);
    }
    archive.LeaveSection();
    return layout;
}

// Leading digits (after an optional sign) as the number, 0 when there are none.
std::int32_t lineNumber(const std::string& line) {
    return static_cast<std::int32_t>(std::strtol(line.c_str(), nullptr, 10));
}

SkinLayout readLineLayout(std::span<const std::uint8_t> bytes) {
    SkinLayout layout;
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
    // The next number of the file; comment lines may only precede an entry's first number.
    auto next = [&text](bool entryStart, std::int32_t& value) {
        std::string line;
        while (std::getline(text, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (entryStart && !line.empty() && line.front() == '\\')
                continue;
            value = lineNumber(line);
            return true;
        }
        return false;
    };
    // An entry cut short by the end of the file keeps its default.
    for (const LayoutEntry& entry : kLayoutEntries) {
        if (entry.box) {
            Box b;
            if (!next(true, b.x) || !next(false, b.y) || !next(false, b.width) ||
                !next(false, b.height))
                break;
            layout.*entry.box = b;
        } else {
            Point p;
            if (!next(true, p.x) || !next(false, p.y))
                break;
            layout.startPointer = p;
        }
    }
    return layout;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readSkinFile(const std::string& name,
                                                      const SkinSource& source) {
    if (source.package) {
        auto file = source.package->OpenFile(name);
        if (!file)
            return std::nullopt;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file->GetLength()));
        if (!file->ReadExact(bytes.data(), bytes.size()))
            return std::nullopt;
        return bytes;
    }
    FileBytes file = readFileBytes(diskPath(name, source), kMaxSkinFileBytes);
    if (!file.ok())
        return std::nullopt;
    return std::move(file.bytes);
}

SkinLayout parseSkinLayout(std::span<const std::uint8_t> bytes, bool xml) {
    return xml ? readXmlLayout(bytes) : readLineLayout(bytes);
}

SkinLayout scaledLayout(const SkinLayout& layout, int scale) {
    auto times = [scale](std::int32_t value) { return clampToInt(std::int64_t{value} * scale); };
    auto box = [&times](const Box& b) {
        return Box{times(b.x), times(b.y), times(b.width), times(b.height)};
    };
    SkinLayout scaled = layout;
    for (const LayoutEntry& entry : kLayoutEntries)
        if (entry.box)
            scaled.*entry.box = box(layout.*entry.box);
    scaled.startPointer = {times(layout.startPointer.x), times(layout.startPointer.y)};
    return scaled;
}

std::string scaledSkinName(const std::string& name, int scale) {
    const std::string folder = kSkinFolder;
    const std::string scaleFolder = std::to_string(scale) + "x\\";
    if (name.compare(0, folder.size(), folder) == 0)
        return folder + scaleFolder + name.substr(folder.size());
    return scaleFolder + name;
}

}  // namespace lumenreel

bool LoadSkinImage(CImageExt& image, const std::string& name, const lumenreel::SkinSource& source) {
    image.destroy();
    const int scale = std::max(source.scale, 1);
    if (scale > 1) {
        const auto drawn = lumenreel::readSkinFile(lumenreel::scaledSkinName(name, scale), source);
        if (drawn && image.loadFromBytes(*drawn))
            return true;
    }
    const auto bytes = lumenreel::readSkinFile(name, source);
    if (!bytes || !image.loadFromBytes(*bytes))
        return false;
    // Whole pixels repeated keep a picture drawn for 1x as crisp as it was, only larger.
    if (scale == 1 ||
        image.resize(image.width() * scale, image.height() * scale, CImageExt::kNearestNeighbor))
        return true;
    image.destroy();
    return false;
}

lumenreel::SkinLayout ReadLayout(const lumenreel::SkinSource& source) {
    const std::string name = std::string(lumenreel::kSkinFolder) + lumenreel::kSkinConfigFile;
    const auto bytes = lumenreel::readSkinFile(name, source);
    if (!bytes)
        return {};
    return lumenreel::parseSkinLayout(*bytes, source.package != nullptr);
}
