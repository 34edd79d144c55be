#include "base/ArchiveString.h"

#include <algorithm>

#include "base/CodePage.h"
#include "base/File.h"

namespace lumenreel {
namespace {

// A decoded prefix: length in characters and whether the characters are UTF-16.
struct Prefix {
    std::uint64_t length = 0;
    bool wide = false;
};

// Reads the prefix through a function that yields the next n little-endian bytes.
template <class ReadValue>
std::optional<Prefix> readPrefix(ReadValue&& readValue) {
    Prefix prefix;
    auto first = readValue(1);
    if (!first)
        return std::nullopt;
    if (*first < 0xFF)
        return Prefix{*first, false};
    auto word = readValue(2);
    if (!word)
        return std::nullopt;
    if (*word == 0xFFFE) {  // UTF-16 marker; the real prefix follows
        prefix.wide = true;
        first = readValue(1);
        if (!first)
            return std::nullopt;
        if (*first < 0xFF)
            return Prefix{*first, true};
        word = readValue(2);
        if (!word)
            return std::nullopt;
    }
    if (*word < 0xFFFF)
        return Prefix{*word, prefix.wide};
    auto dword = readValue(4);
    if (!dword)
        return std::nullopt;
    return Prefix{*dword, prefix.wide};
}

std::string decodeCharacters(std::string bytes, bool wide) {
    if (!wide)
        return bytes;
    return utf8ToAnsi(codePageToUtf8(bytes, 1200));
}

}  // namespace

void appendArchiveString(std::vector<std::uint8_t>& out, std::string_view text) {
    std::uint64_t length = text.size();
    if (length < 0xFF) {
        out.push_back(static_cast<std::uint8_t>(length));
    } else if (length < 0xFFFE) {
        out.push_back(0xFF);
        appendLE<std::uint16_t>(out, static_cast<std::uint16_t>(length));
    } else {
        out.push_back(0xFF);
        appendLE<std::uint16_t>(out, 0xFFFF);
        appendLE<std::uint32_t>(out, static_cast<std::uint32_t>(length));
    }
    out.insert(out.end(), text.begin(), text.end());
}

bool writeArchiveString(CFile& file, std::string_view text) {
    std::vector<std::uint8_t> bytes;
    appendArchiveString(bytes, text);
    return file.Write(bytes.data(), bytes.size());
}

std::optional<std::string> readArchiveString(ByteReader& reader) {
    auto prefix = readPrefix([&](int size) -> std::optional<std::uint64_t> {
        std::uint64_t value = size == 1 ? reader.u8() : size == 2 ? reader.u16() : reader.u32();
        return reader.ok() ? std::optional(value) : std::nullopt;
    });
    if (!prefix)
        return std::nullopt;
    std::uint64_t bytes = prefix->length * (prefix->wide ? 2 : 1);
    if (!reader.canRead(bytes))
        return std::nullopt;
    return decodeCharacters(reader.takeString(static_cast<std::size_t>(bytes)), prefix->wide);
}

std::optional<std::string> readArchiveString(CFile& file) {
    auto prefix = readPrefix([&](int size) -> std::optional<std::uint64_t> {
        std::uint8_t raw[4]{};
        if (!file.ReadExact(raw, static_cast<std::size_t>(size)))
            return std::nullopt;
        return size == 1 ? raw[0] : size == 2 ? loadU16(raw) : loadU32(raw);
    });
    if (!prefix)
        return std::nullopt;
    std::uint64_t bytes = prefix->length * (prefix->wide ? 2 : 1);
    if (bytes > file.RemainingBytes())
        return std::nullopt;
    std::string characters(static_cast<std::size_t>(bytes), '\0');
    if (!file.ReadExact(characters.data(), characters.size()))
        return std::nullopt;
    return decodeCharacters(std::move(characters), prefix->wide);
}

}  // namespace lumenreel
