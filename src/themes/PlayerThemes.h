#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "themes/ThemeContainer.h"
#include "themes/ThemeItemSmoke.h"
#include "themes/ThemesManager.h"

// The player's balloon kind: an item set the player does not ship is replaced by the first one it
// has, so a document made elsewhere still gets balloons of the same template index.
class CThemeItem_smokeZC : public CThemeItem_smoke {
public:
    using CThemeItem_smoke::CThemeItem_smoke;
    std::string displayName() const override { return "Smoke"; }
    std::unique_ptr<CThemeItem_smoke> cloneBalloon() const override;

protected:
    SThemeItemSet chooseItemSet() const override;
};

class CThemeContainerZC : public CThemeContainer {
public:
    using CThemeContainer::CThemeContainer;
    std::unique_ptr<CThemeContainer> clone() const override;
};

// An item set a balloon asked for and the one it got instead (empty: none, so text only).
struct SItemSetSubstitution {
    std::string asked;
    std::string used;
    friend bool operator==(const SItemSetSubstitution&, const SItemSetSubstitution&) = default;
};

// The player's manager, made once for the program: its balloon kind, the installed themes, and a
// current theme in which each kind uses the first item set found for it.
class CThemesManagerZC : public CThemesManager {
public:
    explicit CThemesManagerZC(lumenreel::ThemeFiles files);

    std::unique_ptr<CThemeContainer> newTheme(std::string name) const override;

    // What a balloon caption draws from: the theme's balloon item copied, given the balloon's own
    // item set name and loaded. None when the theme has no balloon kind (the balloon is text
    // only). A name the player does not ship is recorded in substitutions().
    std::unique_ptr<CThemeItem_smoke> balloonItemFor(const CThemeContainer& theme,
                                                     std::string_view itemName);
    // Each substitution once, in the order they first happened.
    const std::vector<SItemSetSubstitution>& substitutions() const { return m_substitutions; }

protected:
    std::unique_ptr<CThemeItem> makeBalloonPrototype() const override;

private:
    std::vector<SItemSetSubstitution> m_substitutions;
};
