#pragma once

class CAutoRichEditCtrl;

namespace lumenreel {

// The one rich text control every caption is measured and drawn with.
CAutoRichEditCtrl& sharedRichEdit();

}  // namespace lumenreel
