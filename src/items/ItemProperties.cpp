#include "items/ItemProperties.h"

#include "items/ItemSchema.h"
#include "storage/SerializeInterface.h"

namespace lumenreel {

void ItemPropertiesBase::serialize(CSerializeInterface& archive) {
    archive.SetKey(kKeyPositionX);
    archive.Exchange(x);
    archive.SetKey(kKeyPositionY);
    archive.Exchange(y);
    archive.SetKey(kKeyItemName);
    archive.ExchangeString(name);
}

}  // namespace lumenreel
