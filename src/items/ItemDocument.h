#pragma once

#include "base/Geometry.h"

struct CDrawItem_link;
class CImageManager;
class CThemeContainer;
class CTranslateInterface;

namespace lumenreel {

class CDrawCommonItem;

// What items ask of the document that holds them: its frames in playing order (for fades that
// run across neighbouring frames), the frame size, the pool its pictures are kept in, the theme
// and the translator.
class ItemDocument {
public:
    virtual ~ItemDocument() = default;
    virtual int frameCount() const = 0;
    virtual bool frameVisible(int frame) const = 0;
    virtual float frameDuration(int frame) const = 0;
    // The item's placement on the frame, or none.
    virtual const CDrawItem_link* placementOn(int frame, const CDrawCommonItem& item) const = 0;
    virtual Size frameSize() const = 0;
    virtual CImageManager& imageManager() = 0;
    virtual CThemeContainer* theme() const { return nullptr; }
    virtual CTranslateInterface* translator() const { return nullptr; }
};

}  // namespace lumenreel
