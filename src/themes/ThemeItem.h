#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Guid.h"
#include "themes/ThemeStartDirectory.h"

// One item set folder of a kind: where it is and the name its "itemname.txt" gives it.
struct SThemeItemSet {
    std::string folder;
    std::string name;
};

inline constexpr const char* kDefaultItemName = "ID_EXTERNAL_ITEMNAME_BALLOON_DEFAULT";

// One kind of themed item (today only the balloon) with the name of the item set it uses. The
// content is read on load, once, until unload.
class CThemeItem : public AThemeStartDirectory {
public:
    // An empty item name becomes kDefaultItemName.
    CThemeItem(lumenreel::ThemeFiles files, const Guid& typeId, std::string itemName,
               std::string categoryKey, std::string kindFolder);
    ~CThemeItem() override;
    CThemeItem(const CThemeItem&) = delete;
    CThemeItem& operator=(const CThemeItem&) = delete;

    const Guid& typeId() const { return m_typeId; }
    const std::string& itemName() const { return m_itemName; }
    // A new name unloads what was read for the old one.
    void setItemName(std::string name);
    const std::string& categoryKey() const { return m_categoryKey; }
    const std::string& kindFolder() const { return m_kindFolder; }
    virtual std::string displayName() const { return m_itemName; }

    // A copy with the same kind and name, not loaded.
    virtual std::unique_ptr<CThemeItem> clone() const = 0;

    // Every item set folder of the kind in listing order; folders whose "itemname.txt" cannot
    // be read are left out.
    std::vector<SThemeItemSet> listItemSets() const;
    std::vector<std::string> listItemNames() const;
    // The first item set folder named like this item (exact comparison); empty when none is.
    std::string findFolder() const;

    void load();
    void unload();
    bool isLoaded() const { return m_loaded; }
    // The item set the content came from: the folder's name, empty when none was found.
    const std::string& loadedItemName() const { return m_loadedItemName; }
    // Why nothing or not everything could be read, one line each.
    const std::vector<std::string>& problems() const { return m_problems; }

protected:
    // The set to read the content from; the base class takes the one named like the item.
    virtual SThemeItemSet chooseItemSet() const;
    virtual void loadContent(const std::string& folder) = 0;
    virtual void unloadContent() = 0;
    void addProblem(std::string problem) { m_problems.push_back(std::move(problem)); }

private:
    Guid m_typeId;
    std::string m_itemName;
    std::string m_categoryKey;
    std::string m_kindFolder;
    bool m_loaded = false;
    std::string m_loadedItemName;
    std::vector<std::string> m_problems;
};
