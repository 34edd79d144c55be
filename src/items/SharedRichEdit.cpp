#include "items/SharedRichEdit.h"

#include "richtext/AutoRichEditCtrl.h"

namespace lumenreel {

CAutoRichEditCtrl& sharedRichEdit() {
    static CAutoRichEditCtrl control;
    return control;
}

}  // namespace lumenreel
