#include "player/TransparentButton.h"

#include "player/SkinDrawing.h"

namespace {
enum { kNormal, kNormalHover, kPressed, kPressedHover };
// Disabled buttons show their normal picture faded to this opacity.
constexpr int kDisabledOpacity = 90;
}  // namespace

void CTransparentButton::LoadImages(const std::string& base, const lumenreel::SkinSource& source) {
    const std::string prefix = std::string(lumenreel::kSkinFolder) + base;
    LoadSkinImage(m_images[kNormal], prefix + "_n.png", source);
    LoadSkinImage(m_images[kNormalHover], prefix + "_hn.png", source);
    LoadSkinImage(m_images[kPressed], prefix + "_p.png", source);
    LoadSkinImage(m_images[kPressedHover], prefix + "_hp.png", source);
}

void CTransparentButton::SetVisible(bool flag) {
    m_visible = flag;
    if (!flag)
        m_hover = m_held = false;
}

void CTransparentButton::EnableWindow(bool flag) {
    m_enabled = flag;
    if (!flag)
        m_held = false;
}

bool CTransparentButton::MouseMove(lumenreel::Point point) {
    const bool over = contains(point);
    if (over == m_hover)
        return false;
    m_hover = over;
    return true;
}

bool CTransparentButton::MouseDown(lumenreel::Point point) {
    if (!m_enabled || !contains(point))
        return false;
    m_held = true;
    m_hover = true;
    return true;
}

bool CTransparentButton::MouseUp(lumenreel::Point point) {
    if (!m_held)
        return false;
    m_held = false;
    if (!contains(point))
        return false;
    if (m_isCheckBox)
        m_checked = !m_checked;
    return true;
}

bool CTransparentButton::LooksPressed() const {
    // A held button looks pressed only while the mouse stays over it, so a press can be
    // abandoned by moving away.
    return (m_held && m_hover) || (m_isCheckBox && m_checked);
}

void CTransparentButton::Draw(CImageExt& target) const {
    if (!m_visible)
        return;
    const CImageExt* image = &m_images[kNormal];
    if (LooksPressed()) {
        if (!m_images[kPressed].isNull())
            image = &m_images[kPressed];
        if (m_isCheckBox && m_hover && !m_images[kPressedHover].isNull())
            image = &m_images[kPressedHover];
    } else if (m_hover && m_enabled && !m_images[kNormalHover].isNull()) {
        image = &m_images[kNormalHover];
    }
    if (image->isNull())
        return;
    const int x = m_rect.left + (m_rect.width() - image->width()) / 2;
    const int y = m_rect.top + (m_rect.height() - image->height()) / 2;
    lumenreel::drawSkinImage(*image, target, x, y, m_key, m_enabled ? 255 : kDisabledOpacity);
}
