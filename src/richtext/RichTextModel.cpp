#include "richtext/RichTextModel.h"

namespace lumenreel {

void Paragraph::append(const CharFormat& format, std::string_view text) {
    if (text.empty())
        return;
    if (!runs.empty() && runs.back().format == format) {
        runs.back().text.append(text);
    } else {
        runs.push_back({format, std::string(text)});
    }
}

std::string RichDocument::plainText() const {
    std::string text;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            text += '\n';
        for (const TextRun& run : paragraphs[i].runs)
            text += run.text;
    }
    return text;
}

std::size_t RichDocument::textLength() const {
    std::size_t length = paragraphs.empty() ? 0 : paragraphs.size() - 1;
    for (const Paragraph& paragraph : paragraphs) {
        for (const TextRun& run : paragraph.runs) {
            for (char c : run.text) {
                auto byte = static_cast<unsigned char>(c);
                // Lead bytes start a character; four-byte sequences need a surrogate pair.
                if ((byte & 0xC0) != 0x80)
                    ++length;
                if (byte >= 0xF0)
                    ++length;
            }
        }
    }
    return length;
}

}  // namespace lumenreel
