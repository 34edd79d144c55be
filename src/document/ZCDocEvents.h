#pragma once

#include <cstdint>
#include <functional>

namespace lumenreel {

class CDrawCommonItem;
class CZephyrcastBaseDocument;

// The changes to a document its listeners hear about.
class CZCDocEventsInterfaceAbstract {
public:
    virtual ~CZCDocEventsInterfaceAbstract() = default;
    virtual void event_effectAdded(std::uint32_t) {}
    virtual void event_effectRemoved(std::uint32_t) {}
    virtual void event_beforesoundEffectModify() {}
    virtual void event_soundEffectModified() {}
    virtual void event_beforeRemoveEffect(CDrawCommonItem&) {}
    virtual void event_frameAdded(std::uint32_t) {}
    virtual void event_frameRemoved(std::uint32_t) {}
    virtual void event_beforeRemoveFrame(std::uint32_t) {}
    virtual void event_updateDocumentTitle() {}
    virtual void event_framePropertiesChanged(std::uint32_t) {}
};

// A listener: it is in the process-wide registry, under its owner, for as long as it lives (one
// listener per owner; a second replaces the first). A listener that belongs to a view of one
// document hears that document only; any other hears every document.
class CZCDocEventsInterface : public CZCDocEventsInterfaceAbstract {
public:
    explicit CZCDocEventsInterface(const void* owner,
                                   const CZephyrcastBaseDocument* viewedDocument = nullptr);
    ~CZCDocEventsInterface() override;
    CZCDocEventsInterface(const CZCDocEventsInterface&) = delete;
    CZCDocEventsInterface& operator=(const CZCDocEventsInterface&) = delete;

    const void* owner() const { return m_owner; }
    const CZephyrcastBaseDocument* viewedDocument() const { return m_viewed; }

private:
    const void* m_owner;
    const CZephyrcastBaseDocument* m_viewed;
};

// A document's way of raising events to the registered listeners, synchronously.
class CZCDocEventsDispatch : public CZCDocEventsInterfaceAbstract {
public:
    explicit CZCDocEventsDispatch(const CZephyrcastBaseDocument& document) : m_document(document) {}

    void event_effectAdded(std::uint32_t serial) override;
    void event_effectRemoved(std::uint32_t serial) override;
    void event_beforesoundEffectModify() override;
    void event_soundEffectModified() override;
    void event_beforeRemoveEffect(CDrawCommonItem& item) override;
    void event_frameAdded(std::uint32_t serial) override;
    void event_frameRemoved(std::uint32_t serial) override;
    void event_beforeRemoveFrame(std::uint32_t serial) override;
    void event_updateDocumentTitle() override;
    void event_framePropertiesChanged(std::uint32_t serial) override;

    void broadcast(const std::function<void(CZCDocEventsInterface&)>& call) const;
    static CZCDocEventsInterface* listenerFor(const void* owner);

private:
    const CZephyrcastBaseDocument& m_document;
};

}  // namespace lumenreel
