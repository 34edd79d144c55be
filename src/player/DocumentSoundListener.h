#pragma once

#include <functional>
#include <utility>

#include "document/ZCDocEvents.h"

namespace lumenreel {

// Hears one document's events for a view: before its soundtrack changes, the view lets go of
// the copy it plays.
class DocumentSoundListener : public CZCDocEventsInterface {
public:
    DocumentSoundListener(const void* owner, const CZephyrcastBaseDocument& document,
                          std::function<void()> beforeSoundChange)
        : CZCDocEventsInterface(owner, &document),
          m_beforeSoundChange(std::move(beforeSoundChange)) {}

    void event_beforesoundEffectModify() override { m_beforeSoundChange(); }

private:
    std::function<void()> m_beforeSoundChange;
};

}  // namespace lumenreel
