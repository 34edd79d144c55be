#include "document/ZCDocEvents.h"

#include <map>
#include <vector>

namespace lumenreel {

namespace {

std::map<const void*, CZCDocEventsInterface*>& registry() {
    static std::map<const void*, CZCDocEventsInterface*> listeners;
    return listeners;
}

}  // namespace

CZCDocEventsInterface::CZCDocEventsInterface(const void* owner,
                                             const CZephyrcastBaseDocument* viewedDocument)
    : m_owner(owner), m_viewed(viewedDocument) {
    registry()[owner] = this;
}

CZCDocEventsInterface::~CZCDocEventsInterface() {
    auto found = registry().find(m_owner);
    // A later listener of the same owner replaced this one and keeps the entry.
    if (found != registry().end() && found->second == this)
        registry().erase(found);
}

void CZCDocEventsDispatch::broadcast(
    const std::function<void(CZCDocEventsInterface&)>& call) const {
    // A listener may come or go while it is told; the ones present at the start are told.
    std::vector<const void*> owners;
    for (const auto& [owner, listener] : registry())
        owners.push_back(owner);
    for (const void* owner : owners) {
        CZCDocEventsInterface* listener = listenerFor(owner);
        if (!listener)
            continue;
        if (listener->viewedDocument() && listener->viewedDocument() != &m_document)
            continue;
        call(*listener);
    }
}

CZCDocEventsInterface* CZCDocEventsDispatch::listenerFor(const void* owner) {
    auto found = registry().find(owner);
    return found == registry().end() ? nullptr : found->second;
}

void CZCDocEventsDispatch::event_effectAdded(std::uint32_t serial) {
    broadcast([serial](CZCDocEventsInterface& l) { l.event_effectAdded(serial); });
}
void CZCDocEventsDispatch::event_effectRemoved(std::uint32_t serial) {
    broadcast([serial](CZCDocEventsInterface& l) { l.event_effectRemoved(serial); });
}
void CZCDocEventsDispatch::event_beforesoundEffectModify() {
    broadcast([](CZCDocEventsInterface& l) { l.event_beforesoundEffectModify(); });
}
void CZCDocEventsDispatch::event_soundEffectModified() {
    broadcast([](CZCDocEventsInterface& l) { l.event_soundEffectModified(); });
}
void CZCDocEventsDispatch::event_beforeRemoveEffect(CDrawCommonItem& item) {
    broadcast([&item](CZCDocEventsInterface& l) { l.event_beforeRemoveEffect(item); });
}
void CZCDocEventsDispatch::event_frameAdded(std::uint32_t serial) {
    broadcast([serial](CZCDocEventsInterface& l) { l.event_frameAdded(serial); });
}
void CZCDocEventsDispatch::event_frameRemoved(std::uint32_t serial) {
    broadcast([serial](CZCDocEventsInterface& l) { l.event_frameRemoved(serial); });
}
void CZCDocEventsDispatch::event_beforeRemoveFrame(std::uint32_t serial) {
    broadcast([serial](CZCDocEventsInterface& l) { l.event_beforeRemoveFrame(serial); });
}
void CZCDocEventsDispatch::event_updateDocumentTitle() {
    broadcast([](CZCDocEventsInterface& l) { l.event_updateDocumentTitle(); });
}
void CZCDocEventsDispatch::event_framePropertiesChanged(std::uint32_t serial) {
    broadcast([serial](CZCDocEventsInterface& l) { l.event_framePropertiesChanged(serial); });
}

}  // namespace lumenreel
