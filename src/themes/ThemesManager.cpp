#include "themes/ThemesManager.h"

#include <set>

#include "base/MemFile.h"
#include "storage/SerializeInterface.h"
#include "themes/ThemeItemSmoke.h"
#include "themes/ThemePackages.h"

CThemesManager::CThemesManager(lumenreel::ThemeFiles files)
    : AThemeStartDirectory(std::move(files)) {}

CThemesManager::~CThemesManager() = default;

void CThemesManager::registerPrototype(std::unique_ptr<CThemeItem> prototype) {
    m_prototypes.push_back(std::move(prototype));
}

void CThemesManager::registerDefaultPrototypes() {
    m_prototypes.clear();
    registerPrototype(makeBalloonPrototype());
}

std::unique_ptr<CThemeItem> CThemesManager::makeBalloonPrototype() const {
    return std::make_unique<CThemeItem_smoke>(files());
}

const CThemeItem* CThemesManager::prototypeForCategory(std::string_view categoryKey) const {
    for (const auto& prototype : m_prototypes)
        if (prototype->categoryKey() == categoryKey)
            return prototype.get();
    return nullptr;
}

std::vector<std::string> CThemesManager::categoryKeys() const {
    std::vector<std::string> keys;
    for (const auto& prototype : m_prototypes)
        keys.push_back(prototype->categoryKey());
    return keys;
}

void CThemesManager::findInstalled() {
    m_installed.clear();
    m_refused.clear();
    std::set<std::string> seen;
    for (const lumenreel::ThemePackage& package :
         lumenreel::listThemePackages(files(), &m_refused)) {
        if (!seen.insert(package.themeName).second)
            continue;
        std::unique_ptr<CThemeContainer> theme = newTheme(package.themeName);
        if (theme->loadFromPackage(package.themeName))
            m_installed.push_back(std::move(theme));
        else
            m_refused.push_back(theme->lastError());
    }
}

void CThemesManager::setCurrentTheme(const CThemeContainer& theme) {
    m_current = theme.clone();
    m_current->load();
}

bool CThemesManager::serializeCurrent(CSerializeInterface& archive) {
    if (archive.IsStoring())
        return m_current && m_current->serialize(archive);
    if (!m_current)
        m_current = newTheme({});
    return m_current->serialize(archive);
}

std::unique_ptr<CThemeContainer> CThemesManager::newTheme(std::string name) const {
    return std::make_unique<CThemeContainer>(files(), m_prototypes, std::move(name));
}
