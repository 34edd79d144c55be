#include "player/InternalButton.h"

#include "player/SkinDrawing.h"

void CInternalButton::loadSet(ImageSet& set, const std::string& normal, const std::string& hover,
                              const std::string& pressed, const std::string& pressedHover) {
    const lumenreel::SkinSource none;
    const lumenreel::SkinSource& source = skin ? *skin : none;
    LoadSkinImage(set[kNormal], normal, source);
    LoadSkinImage(set[kHover], hover, source);
    LoadSkinImage(set[kPressed], pressed, source);
    LoadSkinImage(set[kPressedHover], pressedHover, source);
}

void CInternalButton::LoadImages(const std::string& normal, const std::string& hover,
                                 const std::string& pressed, const std::string& pressedHover) {
    loadSet(images, normal, hover, pressed, pressedHover);
    UpdateRect();
    MarkDirty();
}

void CInternalButton::SetPosition(lumenreel::Point point) {
    position = point;
    UpdateRect();
}

void CInternalButton::MouseMove(lumenreel::Point point) {
    const bool over = HitTest(point);
    if (over != hover) {
        hover = over;
        MarkDirty();
    }
}

bool CInternalButton::MouseDown(lumenreel::Point point) {
    if (HitTest(point)) {
        if (!pressed) {
            pressed = true;
            MarkDirty();
            return true;
        }
    } else if (pressed) {
        pressed = false;
        MarkDirty();
    }
    return false;
}

void CInternalButton::MouseUp(lumenreel::Point point) {
    if (!pressed)
        return;
    pressed = false;
    hover = false;
    MarkDirty();
    if (callback && HitTest(point))
        callback(callbackArgument);
}

void CInternalButton::Draw(CImageExt& context) {
    if (const ImageSet* set = currentSet()) {
        const CImageExt& image =
            pressed ? (*set)[hover ? kPressedHover : kPressed] : (*set)[hover ? kHover : kNormal];
        lumenreel::drawSkinImage(image, context, position.x, position.y);
    }
    dirty = false;
}

void CInternalButton::SetCallback(Callback function, void* argument) {
    callback = std::move(function);
    callbackArgument = argument;
}

void CInternalButton::UpdateRect() {
    const ImageSet* set = currentSet();
    if (!set || (*set)[kNormal].isNull()) {
        rect = {};
        return;
    }
    // The pressed picture gives the height; without one the button would be unclickable, so the
    // normal picture stands in.
    const CImageExt& tall = (*set)[kPressed].isNull() ? (*set)[kNormal] : (*set)[kPressed];
    rect = {position.x, position.y, position.x + (*set)[kNormal].width(),
            position.y + tall.height()};
}

void CInternalButton_multiImages::ClearImageSets() {
    sets.clear();
    current = -1;
    UpdateRect();
    MarkDirty();
}

void CInternalButton_multiImages::SelectImageSet(int index) {
    if (index < 0 || index >= static_cast<int>(sets.size()))
        return;
    current = index;
    UpdateRect();
    MarkDirty();
}

void CInternalButton_multiImages::AddImageSet(const std::string& normal, const std::string& hover,
                                              const std::string& pressed,
                                              const std::string& pressedHover) {
    sets.emplace_back();
    loadSet(sets.back(), normal, hover, pressed, pressedHover);
    if (current < 0)
        current = 0;
    UpdateRect();
    MarkDirty();
}

const CInternalButton::ImageSet* CInternalButton_multiImages::currentSet() const {
    return current >= 0 ? &sets[static_cast<std::size_t>(current)] : nullptr;
}
