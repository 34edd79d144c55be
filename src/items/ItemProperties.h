#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CSerializeInterface;

namespace lumenreel {

// The stored properties every item has. Kinds derive their own records; clone and copyFrom work
// on the most derived record, so a record can be handed around and copied back whole.
struct ItemPropertiesBase {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::string name;

    virtual ~ItemPropertiesBase() = default;
    // Writes or reads this record's keys; a missing key leaves its field as it is.
    virtual void serialize(CSerializeInterface& archive);
    virtual std::unique_ptr<ItemPropertiesBase> clone() const = 0;
    // Copies every field from a record of the same class; other records are left alone.
    virtual void copyFrom(const ItemPropertiesBase& other) = 0;

protected:
    ItemPropertiesBase() = default;
    ItemPropertiesBase(const ItemPropertiesBase&) = default;
    ItemPropertiesBase& operator=(const ItemPropertiesBase&) = default;
};

// Gives a record class its clone and copyFrom.
template <class Derived, class Base>
struct PropertiesOf : Base {
    std::unique_ptr<ItemPropertiesBase> clone() const override {
        return std::make_unique<Derived>(static_cast<const Derived&>(*this));
    }
    void copyFrom(const ItemPropertiesBase& other) override {
        if (const auto* same = dynamic_cast<const Derived*>(&other))
            static_cast<Derived&>(*this) = *same;
    }
};

}  // namespace lumenreel

namespace lumenreel {

// The record of kinds that store only the common properties.
struct CommonProperties final : PropertiesOf<CommonProperties, ItemPropertiesBase> {};

}  // namespace lumenreel
