#pragma once

#include <optional>
#include <string>

#include "images/ImageExt.h"
#include "player/SkinFiles.h"
#include "player/ViewGeometry.h"

// One of the panel's skinned buttons: four pictures (normal, normal under the mouse, pressed or
// checked, pressed under the mouse), drawn centred in its rectangle, with hover tracking, an
// optional check state and its own tooltip text. The panel feeds it the mouse in panel pixels.
class CTransparentButton {
public:
    CTransparentButton(int id, bool isCheckBox) : m_id(id), m_isCheckBox(isCheckBox) {}

    // Loads base + "_n.png", "_hn.png", "_p.png", "_hp.png" from the skin folder.
    void LoadImages(const std::string& base, const lumenreel::SkinSource& source);

    int GetId() const { return m_id; }
    bool IsCheckBox() const { return m_isCheckBox; }
    void SetRect(lumenreel::Rect rect) { m_rect = rect; }
    lumenreel::Rect GetRect() const { return m_rect; }
    void SetVisible(bool flag);
    bool IsVisible() const { return m_visible; }
    void EnableWindow(bool flag);
    bool IsEnabled() const { return m_enabled; }
    void SetCheck(bool flag) { m_checked = flag; }
    bool GetCheck() const { return m_checked; }
    bool IsHover() const { return m_hover; }
    bool IsHeld() const { return m_held; }
    void SetTransparentColour(std::optional<std::uint32_t> colour) { m_key = colour; }
    void SetTooltip(std::string text) { m_tooltip = std::move(text); }
    const std::string& GetTooltip() const { return m_tooltip; }

    // True when the hover state changed.
    bool MouseMove(lumenreel::Point point);
    // True when the press landed on the button, which then holds it until the release.
    bool MouseDown(lumenreel::Point point);
    // True for a click: released over the button that was pressed. A check box toggles first.
    bool MouseUp(lumenreel::Point point);

    bool LooksPressed() const;
    void Draw(CImageExt& target) const;

private:
    bool contains(lumenreel::Point point) const { return m_visible && m_rect.contains(point); }

    int m_id;
    bool m_isCheckBox;
    // normal, normal under the mouse, pressed, pressed under the mouse
    CImageExt m_images[4];
    lumenreel::Rect m_rect;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_checked = false;
    bool m_hover = false;
    bool m_held = false;
    std::optional<std::uint32_t> m_key;
    std::string m_tooltip;
};
