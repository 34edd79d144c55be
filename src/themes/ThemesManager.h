#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "themes/ThemeContainer.h"
#include "themes/ThemeItem.h"

class CSerializeInterface;

// The kinds of themed items (as prototypes), the themes installed as theme package files, and
// the theme in use.
class CThemesManager : public AThemeStartDirectory {
public:
    explicit CThemesManager(lumenreel::ThemeFiles files);
    ~CThemesManager() override;
    CThemesManager(const CThemesManager&) = delete;
    CThemesManager& operator=(const CThemesManager&) = delete;

    void registerPrototype(std::unique_ptr<CThemeItem> prototype);
    // Replaces the prototypes by one balloon prototype with an empty item name.
    virtual void registerDefaultPrototypes();
    const CThemeContainer::Kinds& prototypes() const { return m_prototypes; }
    const CThemeItem* prototypeForCategory(std::string_view categoryKey) const;
    std::vector<std::string> categoryKeys() const;

    // Reads every theme package of the start folder; a second package with a theme name already
    // read is left out, as loading by name would only find the first.
    void findInstalled();
    const std::vector<std::unique_ptr<CThemeContainer>>& installedThemes() const {
        return m_installed;
    }
    // The packages findInstalled refused, each with its reason.
    const std::vector<std::string>& refusedPackages() const { return m_refused; }

    CThemeContainer* currentTheme() const { return m_current.get(); }
    // The current theme becomes a loaded copy of the theme.
    void setCurrentTheme(const CThemeContainer& theme);
    // Storing: the current theme's stored form (false without one). Loading: into the current
    // theme, made with an empty name when there is none.
    bool serializeCurrent(CSerializeInterface& archive);

    // A theme over the prototypes, every kind without an item name.
    virtual std::unique_ptr<CThemeContainer> newTheme(std::string name) const;

protected:
    virtual std::unique_ptr<CThemeItem> makeBalloonPrototype() const;

private:
    CThemeContainer::Kinds m_prototypes;
    std::vector<std::unique_ptr<CThemeContainer>> m_installed;
    std::vector<std::string> m_refused;
    std::unique_ptr<CThemeContainer> m_current;
};
