#include "items/NameLabel.h"

#include <algorithm>

#include "images/ImageExt.h"
#include "images/PixelBlit.h"
#include "images/WhiteKey.h"
#include "items/SharedRichEdit.h"
#include "richtext/AutoRichEditCtrl.h"

namespace lumenreel {

namespace {

constexpr int kPadding = 3;
constexpr int kTopOffset = 4;
constexpr int kPlateAlpha = 90;
constexpr std::uint32_t kPlateColour = 0x0A0A0A;
constexpr std::uint32_t kTextColour = 0xFAFAFA;
// Arial bold, 16 pixels high: 12 points at 96 dots per inch.
constexpr int kHalfPoints = 24;

}  // namespace

void drawNameLabel(CImageExt& target, std::string_view name, const Rect& bounds,
                   float labelOpacity) {
    if (name.empty() || !(labelOpacity > 0.0f))
        return;
    CharFormat format;
    format.face = "Arial";
    format.bold = true;
    format.halfPoints = kHalfPoints;
    CAutoRichEditCtrl& control = sharedRichEdit();
    control.setPlainText(name, format);
    const Size text = control.measure();
    CImageExt label;
    if (!label.create(text.width + 2 * kPadding, text.height + 2 * kPadding, 32))
        return;
    const int x = static_cast<int>(bounds.left + (bounds.width() - label.width()) / 2);
    const int y = bounds.top + kTopOffset;
    fillPixels(label.view(), 0, 0, label.width(), label.height(), 0xFF000000 | kPlateColour);
    label.blendInto(target, x, y, kPlateAlpha, kKeyWhite, false);
    fillPixels(label.view(), 0, 0, label.width(), label.height(), 0xFF000000 | kKeyWhite);
    TextColors colours;
    colours.text = kTextColour;
    control.renderInto(label, {kPadding, kPadding, kPadding + text.width, kPadding + text.height},
                       colours);
    const int alpha = static_cast<int>(std::clamp(labelOpacity, 0.0f, 1.0f) * 255.0f);
    label.blendInto(target, x, y, alpha, kKeyWhite, false);
}

}  // namespace lumenreel
