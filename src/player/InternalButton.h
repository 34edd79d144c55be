#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "images/ImageExt.h"
#include "player/SkinFiles.h"
#include "player/ViewGeometry.h"

// A button the view draws into its back buffer (the window frame's close, minimise and
// maximise): four skin pictures, hover and press tracking, and a callback run on release.
class CInternalButton {
public:
    using Callback = std::function<void(void* argument)>;

    CInternalButton() = default;
    virtual ~CInternalButton() = default;
    CInternalButton(const CInternalButton&) = delete;
    CInternalButton& operator=(const CInternalButton&) = delete;

    // Skin file names; a missing picture stays empty.
    virtual void LoadImages(const std::string& normal, const std::string& hover,
                            const std::string& pressed, const std::string& pressedHover);
    virtual void SetPosition(lumenreel::Point point);
    virtual void MouseMove(lumenreel::Point point);
    // True when this press started on the button.
    virtual bool MouseDown(lumenreel::Point point);
    virtual void MouseUp(lumenreel::Point point);
    virtual void Draw(CImageExt& context);
    virtual bool IsDirty() const { return dirty; }
    virtual lumenreel::Rect GetRect() const { return rect; }
    virtual void SetCallback(Callback function, void* argument);
    // The source must outlive the button.
    virtual void SetSkin(const lumenreel::SkinSource* source) { skin = source; }
    virtual void UpdateRect();
    virtual bool HitTest(lumenreel::Point point) const { return rect.contains(point); }
    virtual void MarkDirty() { dirty = true; }

    bool IsPressed() const { return pressed; }
    bool IsHover() const { return hover; }

protected:
    // normal, hover, pressed, pressed-hover
    using ImageSet = std::array<CImageExt, 4>;
    enum ImageIndex { kNormal, kHover, kPressed, kPressedHover };

    void loadSet(ImageSet& set, const std::string& normal, const std::string& hover,
                 const std::string& pressed, const std::string& pressedHover);
    // The set that is shown; null when there is none.
    virtual const ImageSet* currentSet() const { return &images; }

    ImageSet images;
    lumenreel::Point position;
    lumenreel::Rect rect;
    bool pressed = false;
    bool hover = false;
    bool dirty = false;
    Callback callback;
    void* callbackArgument = nullptr;
    const lumenreel::SkinSource* skin = nullptr;
};

// A frame button that swaps between sets of four pictures (maximise and restore).
class CInternalButton_multiImages : public CInternalButton {
public:
    void ClearImageSets();
    void SelectImageSet(int index);
    int CurrentImageSet() const { return current; }
    // The first set added becomes the current one.
    void AddImageSet(const std::string& normal, const std::string& hover,
                     const std::string& pressed, const std::string& pressedHover);

protected:
    const ImageSet* currentSet() const override;

private:
    std::vector<ImageSet> sets;
    int current = -1;
};
