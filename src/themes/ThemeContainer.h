#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Guid.h"
#include "themes/ThemeItem.h"
#include "themes/ThemeStartDirectory.h"

class CSerializeInterface;

inline constexpr const char* kDefaultThemeName = "ID_EXTERNAL_THEMENAME_DEFAULT";

// A theme: for each kind of themed item, the name of the item set it uses. Loading makes one item
// of each kind with its name and loads it.
class CThemeContainer : public AThemeStartDirectory {
public:
    // The kinds' prototypes; shared, so a theme stays usable when its manager replaces them.
    using Kinds = std::vector<std::shared_ptr<const CThemeItem>>;

    // An empty theme name becomes kDefaultThemeName; every kind starts with an empty item name.
    CThemeContainer(lumenreel::ThemeFiles files, Kinds kinds, std::string themeName = {});
    ~CThemeContainer() override;
    CThemeContainer(const CThemeContainer&) = delete;
    CThemeContainer& operator=(const CThemeContainer&) = delete;

    // The same kinds, names and theme name, not loaded.
    virtual std::unique_ptr<CThemeContainer> clone() const;

    const std::string& themeName() const { return m_themeName; }
    const Kinds& kinds() const { return m_kinds; }
    const std::vector<std::string>& itemNames() const { return m_itemNames; }

    // Reads the package whose theme name is name (this theme's own when empty). False, with the
    // theme unchanged, when none is found or it cannot be read.
    bool loadFromPackage(std::string_view name = {});
    // Writes the package found for the name, or else "<name>.thm" in the start folder.
    bool saveToPackage(std::string_view name = {});

    void load();
    void unload();
    bool isLoaded() const { return m_loaded; }

    // The stored form (section "ThemeContainer"). Loading unloads first and replaces the theme
    // name and the item names; a damaged form is refused and changes nothing.
    bool serialize(CSerializeInterface& archive);

    // Empty text when no kind has the key (or the theme holds no name for it).
    std::string itemNameFor(std::string_view categoryKey) const;
    // Unloads first; false when no kind has the key.
    bool setItemNameFor(std::string_view categoryKey, std::string name);
    // The loaded item of that kind, or none.
    CThemeItem* itemFor(const Guid& typeId) const;
    // The loaded item of that category; asking for a category the theme lacks is a slip.
    CThemeItem* itemForCategory(std::string_view categoryKey) const;

    bool sameItemNames(const std::vector<std::string>& names) const { return names == m_itemNames; }
    // Each kind with the first item set name found for it (empty when there is none).
    void build(Kinds kinds, std::string themeName);

    const std::string& lastError() const { return m_lastError; }

protected:
    // For the player's variant, which makes its own clones.
    void copyInto(CThemeContainer& copy) const;

private:
    bool loadStoredForm(CSerializeInterface& archive);
    int kindIndex(std::string_view categoryKey) const;

    Kinds m_kinds;
    std::vector<std::unique_ptr<CThemeItem>> m_instances;
    std::vector<std::string> m_itemNames;
    std::string m_themeName;
    bool m_loaded = false;
    std::string m_lastError;
};
