#pragma once

#include <pugixml.hpp>
#include <string>

// One entry of the XML form's section stack: an element (or the document at the top level, or
// nothing after a failed enter) and the occurrence index that selects among same-named elements.
class CXMLArchiveNode {
public:
    CXMLArchiveNode() = default;
    explicit CXMLArchiveNode(pugi::xml_node element) : m_element(element) {}

    bool IsValid() const { return static_cast<bool>(m_element); }
    // The element's text in the ANSI code page.
    std::string GetText() const;
    pugi::xml_node Element() const { return m_element; }

    int GetOccurrence() const { return m_occurrence; }
    void SetOccurrence(int index) { m_occurrence = index; }

    // Counts the child elements and switches section look-ups to enumeration by index.
    int CountChildren();
    // The element a section of this name resolves to when loading, or an empty handle.
    pugi::xml_node FindSection(const char* name) const;
    // The element a value of this name resolves to: the occurrence-th element so named anywhere
    // below this one, in document order.
    pugi::xml_node FindValue(const char* name) const;

private:
    pugi::xml_node m_element;
    int m_occurrence = 0;
    int m_fetchedChildren = -1;  // child count once CountChildren was called
};
