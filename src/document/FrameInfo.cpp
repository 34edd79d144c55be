#include "document/FrameInfo.h"

#include "storage/SerializeInterface.h"

namespace lumenreel {

bool CFrameInfo::equals(const CFrameInfo& other) const {
    return index == other.index && duration == other.duration && visibility == other.visibility &&
           transparency == other.transparency && label == other.label;
}

bool CFrameInfo::serialize(CSerializeInterface& archive) {
    if (!archive.EnterSection("FRAME_INFO_SECTION"))
        return false;
    archive.SetKey("index");
    archive.Exchange(index);
    archive.SetKey("duration");
    archive.Exchange(duration);
    archive.SetKey("visibility");
    archive.Exchange(visibility);
    archive.SetKey("transparency");
    archive.Exchange(transparency);
    archive.SetKey("label");
    archive.ExchangeString(label);
    archive.LeaveSection();
    return true;
}

}  // namespace lumenreel
