#pragma once

#include <map>
#include <string>
#include <string_view>

#include "storage/TranslateInterface.h"

class CRBFileSystem;

// The translator of a skin package: the KEY=value lines of its "localization.txt".
class CPlayerTranslateInterface : public CTranslateInterface {
public:
    static constexpr const char* kFileName = "localization.txt";

    // A package without the file (or with an empty one) gives an empty table.
    explicit CPlayerTranslateInterface(CRBFileSystem& fileSystem);

    // The value of the key in any letter case, or "" when there is none. Unless the key holds a
    // "%" (its value is a format), the two-character sequences \n and \t become a line feed and
    // a tab.
    std::string Translate(const std::string& key) override;

    std::size_t GetSize() const { return m_table.size(); }

private:
    void addLine(std::string_view line);

    // Upper-case keys, in byte order.
    std::map<std::string, std::string> m_table;
};
