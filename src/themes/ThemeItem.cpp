#include "themes/ThemeItem.h"

#include "themes/ThemeText.h"

namespace {

// An item set's name is its file's first line; more than this is no name file.
constexpr std::uint64_t kMaxItemNameFileBytes = 64 * 1024;

}  // namespace

CThemeItem::CThemeItem(lumenreel::ThemeFiles files, const Guid& typeId, std::string itemName,
                       std::string categoryKey, std::string kindFolder)
    : AThemeStartDirectory(std::move(files)),
      m_typeId(typeId),
      m_itemName(itemName.empty() ? kDefaultItemName : std::move(itemName)),
      m_categoryKey(std::move(categoryKey)),
      m_kindFolder(std::move(kindFolder)) {}

CThemeItem::~CThemeItem() = default;

void CThemeItem::setItemName(std::string name) {
    if (name == m_itemName)
        return;
    unload();
    m_itemName = std::move(name);
}

std::vector<SThemeItemSet> CThemeItem::listItemSets() const {
    std::vector<SThemeItemSet> sets;
    for (const lumenreel::ThemeEntry& entry : files().list(m_kindFolder)) {
        if (!entry.folder)
            continue;
        const std::string folder = lumenreel::joinThemePath(m_kindFolder, entry.name);
        std::string why;
        const auto bytes = files().read(lumenreel::joinThemePath(folder, "itemname.txt"),
                                        kMaxItemNameFileBytes, why);
        if (bytes)
            sets.push_back({folder, lumenreel::firstTextLine(*bytes)});
    }
    return sets;
}

std::vector<std::string> CThemeItem::listItemNames() const {
    std::vector<std::string> names;
    for (SThemeItemSet& set : listItemSets())
        names.push_back(std::move(set.name));
    return names;
}

std::string CThemeItem::findFolder() const {
    for (const SThemeItemSet& set : listItemSets())
        if (set.name == m_itemName)
            return set.folder;
    return {};
}

SThemeItemSet CThemeItem::chooseItemSet() const {
    return {findFolder(), m_itemName};
}

void CThemeItem::load() {
    if (m_loaded)
        return;
    m_problems.clear();
    SThemeItemSet set = chooseItemSet();
    if (set.folder.empty()) {
        addProblem("no item set \"" + m_itemName + "\" in " + m_kindFolder);
    } else {
        m_loadedItemName = std::move(set.name);
        loadContent(set.folder);
    }
    m_loaded = true;
}

void CThemeItem::unload() {
    if (!m_loaded)
        return;
    unloadContent();
    m_loadedItemName.clear();
    m_problems.clear();
    m_loaded = false;
}
