#pragma once

#include <string>

class CFile;

// What the serialization interface needs of an image: it saves itself into a memory stream and
// loads itself back from one; the interface only copies the stream's bytes.
class CSerializableImage {
public:
    // The form an image saves itself in.
    enum FormatKind : int {
        formatOwn = 1,    // the object's own stream form
        formatNamed = 2,  // the file format named by the format argument (e.g. "png")
    };

    virtual ~CSerializableImage() = default;

    // Writes the image at the stream's current position.
    virtual bool SaveToStream(CFile& stream, int formatKind, const std::string& format) const = 0;
    // Reads the image from the stream's current position.
    virtual bool LoadFromStream(CFile& stream) = 0;
};
