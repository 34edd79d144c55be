#include "themes/PlayerThemes.h"

#include <algorithm>

std::unique_ptr<CThemeItem_smoke> CThemeItem_smokeZC::cloneBalloon() const {
    return std::make_unique<CThemeItem_smokeZC>(files(), itemName());
}

SThemeItemSet CThemeItem_smokeZC::chooseItemSet() const {
    std::vector<SThemeItemSet> sets = listItemSets();
    for (SThemeItemSet& set : sets)
        if (set.name == itemName())
            return std::move(set);
    return sets.empty() ? SThemeItemSet{} : std::move(sets.front());
}

std::unique_ptr<CThemeContainer> CThemeContainerZC::clone() const {
    auto copy = std::make_unique<CThemeContainerZC>(files(), kinds());
    copyInto(*copy);
    return copy;
}

CThemesManagerZC::CThemesManagerZC(lumenreel::ThemeFiles files) : CThemesManager(std::move(files)) {
    registerDefaultPrototypes();
    findInstalled();
    std::unique_ptr<CThemeContainer> theme = newTheme({});
    theme->build(prototypes(), {});
    setCurrentTheme(*theme);
}

std::unique_ptr<CThemeItem> CThemesManagerZC::makeBalloonPrototype() const {
    return std::make_unique<CThemeItem_smokeZC>(files());
}

std::unique_ptr<CThemeContainer> CThemesManagerZC::newTheme(std::string name) const {
    return std::make_unique<CThemeContainerZC>(files(), prototypes(), std::move(name));
}

std::unique_ptr<CThemeItem_smoke> CThemesManagerZC::balloonItemFor(const CThemeContainer& theme,
                                                                   std::string_view itemName) {
    const auto* kind = dynamic_cast<const CThemeItem_smoke*>(theme.itemFor(kBalloonTypeId));
    if (!kind)
        return nullptr;
    std::unique_ptr<CThemeItem_smoke> item = kind->cloneBalloon();
    item->setItemName(std::string(itemName));
    item->load();
    if (item->loadedItemName() != item->itemName()) {
        SItemSetSubstitution substitution{item->itemName(), item->loadedItemName()};
        if (std::find(m_substitutions.begin(), m_substitutions.end(), substitution) ==
            m_substitutions.end())
            m_substitutions.push_back(std::move(substitution));
    }
    return item;
}
