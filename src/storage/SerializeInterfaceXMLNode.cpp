#include "storage/SerializeInterfaceXMLNode.h"

#include <cstring>

#include "base/CodePage.h"

namespace {

// Document-order walk over the elements strictly below root, without recursion (hostile files
// nest deeply).
template <class Visit>
void forEachDescendantElement(pugi::xml_node root, Visit&& visit) {
    pugi::xml_node node = root.first_child();
    while (node) {
        if (node.type() == pugi::node_element && !visit(node))
            return;
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != root && !node.next_sibling())
            node = node.parent();
        if (!node || node == root)
            return;
        node = node.next_sibling();
    }
}

}  // namespace

std::string CXMLArchiveNode::GetText() const {
    return lumenreel::utf8ToAnsi(m_element.text().get());
}

int CXMLArchiveNode::CountChildren() {
    int count = 0;
    for (pugi::xml_node child : m_element.children()) {
        if (child.type() == pugi::node_element)
            ++count;
    }
    m_fetchedChildren = count;
    return count;
}

pugi::xml_node CXMLArchiveNode::FindSection(const char* name) const {
    if (!m_element)
        return {};
    if (m_fetchedChildren >= 0 && m_occurrence >= 0 && m_occurrence < m_fetchedChildren) {
        int index = 0;
        for (pugi::xml_node child : m_element.children()) {
            if (child.type() == pugi::node_element && index++ == m_occurrence)
                return child;
        }
    }
    // The occurrence-th so-named element below, when it is a direct child; else the first
    // so-named direct child.
    pugi::xml_node atOccurrence;
    pugi::xml_node firstChild;
    int index = 0;
    forEachDescendantElement(m_element, [&](pugi::xml_node element) {
        if (std::strcmp(element.name(), name) != 0)
            return true;
        if (index++ == m_occurrence) {
            atOccurrence = element;
            if (element.parent() == m_element)
                return false;
        }
        if (!firstChild && element.parent() == m_element)
            firstChild = element;
        return !(atOccurrence && firstChild);
    });
    if (atOccurrence && atOccurrence.parent() == m_element)
        return atOccurrence;
    return firstChild;
}

pugi::xml_node CXMLArchiveNode::FindValue(const char* name) const {
    pugi::xml_node found;
    if (!m_element || m_occurrence < 0)
        return found;
    int index = 0;
    forEachDescendantElement(m_element, [&](pugi::xml_node element) {
        if (std::strcmp(element.name(), name) == 0 && index++ == m_occurrence)
            found = element;
        return !found;
    });
    return found;
}
