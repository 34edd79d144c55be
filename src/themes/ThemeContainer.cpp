#include "themes/ThemeContainer.h"

#include "base/Assert.h"
#include "base/MemFile.h"
#include "storage/SerializeInterface.h"
#include "themes/ThemePackages.h"

namespace {

// There is one kind of themed item; a stored form naming more than this many is damaged.
constexpr std::int32_t kMaxStoredKinds = 256;

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos;
}

// "N0", "N1", ...: the keys of the item names.
std::string itemNameKey(std::size_t index) {
    std::string key = std::to_string(index);
    key.insert(key.begin(), 'N');
    return key;
}

}  // namespace

CThemeContainer::CThemeContainer(lumenreel::ThemeFiles files, Kinds kinds, std::string themeName)
    : AThemeStartDirectory(std::move(files)),
      m_kinds(std::move(kinds)),
      m_itemNames(m_kinds.size()),
      m_themeName(themeName.empty() ? kDefaultThemeName : std::move(themeName)) {}

CThemeContainer::~CThemeContainer() = default;

std::unique_ptr<CThemeContainer> CThemeContainer::clone() const {
    auto copy = std::make_unique<CThemeContainer>(files(), m_kinds, m_themeName);
    copyInto(*copy);
    return copy;
}

void CThemeContainer::copyInto(CThemeContainer& copy) const {
    copy.unload();
    copy.m_kinds = m_kinds;
    copy.m_itemNames = m_itemNames;
    copy.m_themeName = m_themeName;
}

bool CThemeContainer::loadFromPackage(std::string_view name) {
    const std::string wanted = name.empty() ? m_themeName : std::string(name);
    const auto package = lumenreel::findThemePackage(files(), wanted);
    if (!package) {
        m_lastError = "no theme package named \"" + wanted + "\"";
        return false;
    }
    std::string why;
    const auto bytes = files().read(package->path, lumenreel::kMaxThemePackageBytes, why);
    if (!bytes) {
        m_lastError = package->path + ": " + why;
        return false;
    }
    CKWXOleStreamFile stream(*bytes);
    CSerializeInterface archive(stream, CSerializeInterface::modeLoad);
    if (!serialize(archive)) {
        m_lastError = package->path + ": " + m_lastError;
        return false;
    }
    return true;
}

bool CThemeContainer::saveToPackage(std::string_view name) {
    const std::string wanted = name.empty() ? m_themeName : std::string(name);
    const auto found = lumenreel::findThemePackage(files(), wanted);
    const std::string path = found ? found->path : wanted + ".thm";
    if (!found && !isPlainFileName(wanted)) {
        m_lastError = "\"" + wanted + "\" cannot name a file in the start folder";
        return false;
    }
    CKWXOleStreamFile stream;
    CSerializeInterface archive(stream, CSerializeInterface::modeStore);
    if (!serialize(archive)) {
        m_lastError = path + ": cannot store the theme";
        return false;
    }
    archive.Flush();
    std::string why;
    if (!files().write(path, stream.Bytes(), why)) {
        m_lastError = path + ": " + why;
        return false;
    }
    return true;
}

void CThemeContainer::load() {
    if (m_loaded)
        return;
    for (std::size_t i = 0; i < m_kinds.size(); ++i) {
        std::unique_ptr<CThemeItem> item = m_kinds[i]->clone();
        item->setItemName(i < m_itemNames.size() ? m_itemNames[i] : std::string());
        item->load();
        m_instances.push_back(std::move(item));
    }
    m_loaded = true;
}

void CThemeContainer::unload() {
    m_instances.clear();
    m_loaded = false;
}

bool CThemeContainer::serialize(CSerializeInterface& archive) {
    if (!archive.IsStoring())
        return loadStoredForm(archive);
    bool ok = archive.EnterSection("ThemeContainer");
    archive.SetKey("theme_name");
    ok = archive.WriteString(m_themeName) && ok;
    archive.SetKey("cnt");
    ok = archive.WriteInt32A(static_cast<std::uint32_t>(m_itemNames.size())) && ok;
    for (std::size_t i = 0; i < m_itemNames.size(); ++i) {
        archive.SetKey(itemNameKey(i));
        ok = archive.WriteString(m_itemNames[i]) && ok;
    }
    archive.LeaveSection();
    return ok;
}

bool CThemeContainer::loadStoredForm(CSerializeInterface& archive) {
    if (!archive.EnterSection("ThemeContainer")) {
        m_lastError = "no section ThemeContainer";
        return false;
    }
    // Read into copies: a form that breaks off half way leaves the theme as it was.
    std::string themeName;
    std::int32_t count = 0;
    std::vector<std::string> names;
    archive.SetKey("theme_name");
    const bool haveName = archive.ReadString(themeName);
    archive.SetKey("cnt");
    bool ok = haveName && archive.ReadInt32A(count);
    if (!ok)
        m_lastError = haveName ? "no count of kinds" : "no theme name";
    else if (count < 0 || count > kMaxStoredKinds) {
        m_lastError = "a count of " + std::to_string(count) + " kinds";
        ok = false;
    }
    for (std::size_t i = 0; ok && i < static_cast<std::size_t>(count); ++i) {
        archive.SetKey(itemNameKey(i));
        std::string itemName;
        ok = archive.ReadString(itemName);
        if (!ok)
            m_lastError = "no item name " + itemNameKey(i) + " of " + std::to_string(count);
        names.push_back(std::move(itemName));
    }
    archive.LeaveSection();
    if (!ok)
        return false;
    unload();
    m_themeName = std::move(themeName);
    m_itemNames = std::move(names);
    return true;
}

int CThemeContainer::kindIndex(std::string_view categoryKey) const {
    for (std::size_t i = 0; i < m_kinds.size(); ++i)
        if (m_kinds[i]->categoryKey() == categoryKey)
            return static_cast<int>(i);
    return -1;
}

std::string CThemeContainer::itemNameFor(std::string_view categoryKey) const {
    const int index = kindIndex(categoryKey);
    if (index < 0 || static_cast<std::size_t>(index) >= m_itemNames.size())
        return {};
    return m_itemNames[index];
}

bool CThemeContainer::setItemNameFor(std::string_view categoryKey, std::string name) {
    unload();
    const int index = kindIndex(categoryKey);
    if (index < 0)
        return false;
    if (static_cast<std::size_t>(index) >= m_itemNames.size())
        m_itemNames.resize(index + 1);
    m_itemNames[index] = std::move(name);
    return true;
}

CThemeItem* CThemeContainer::itemFor(const Guid& typeId) const {
    for (const auto& item : m_instances)
        if (item->typeId() == typeId)
            return item.get();
    return nullptr;
}

CThemeItem* CThemeContainer::itemForCategory(std::string_view categoryKey) const {
    for (const auto& item : m_instances)
        if (item->categoryKey() == categoryKey)
            return item.get();
    LR_ASSERT(!"the theme has an item of the category");
    return nullptr;
}

void CThemeContainer::build(Kinds kinds, std::string themeName) {
    unload();
    m_kinds = std::move(kinds);
    m_itemNames.clear();
    for (const auto& kind : m_kinds) {
        std::vector<std::string> names = kind->listItemNames();
        m_itemNames.push_back(names.empty() ? std::string() : std::move(names.front()));
    }
    m_themeName = themeName.empty() ? kDefaultThemeName : std::move(themeName);
}
