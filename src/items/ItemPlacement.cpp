#include "items/ItemPlacement.h"

#include "items/ItemSchema.h"
#include "storage/SerializeInterface.h"

bool CDrawItem_link::serialize(CSerializeInterface& archive) {
    if (!archive.EnterSection(lumenreel::kSectionLinkSection))
        return false;
    bool linked = status != 0;
    archive.SetKey("link_status");
    archive.Exchange(linked);
    status = linked ? 1 : 0;
    // An identity inside the writing program; meaningless in a file, so zero is written and
    // whatever is read is dropped.
    std::uint32_t identity = 0;
    archive.SetKey("dci_ptr");
    archive.Exchange(identity);
    archive.SetKey("unique_id");
    archive.Exchange(uniqueId);
    archive.SetKey("z_position");
    archive.Exchange(zPosition);
    archive.SetKey("vis_start");
    archive.Exchange(visStart);
    archive.SetKey("vis_end");
    archive.Exchange(visEnd);
    archive.SetKey("left_grip");
    archive.Exchange(leftGrip);
    archive.SetKey("right_grip");
    archive.Exchange(rightGrip);
    archive.SetKey("time_of_fadein");
    archive.Exchange(fadeIn);
    archive.SetKey("time_of_fadeout");
    archive.Exchange(fadeOut);
    archive.SetKey("fade_type");
    archive.Exchange(fadeType);
    archive.LeaveSection();
    return true;
}
