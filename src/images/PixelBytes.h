#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace lumenreel {

// Elements made without a value are left as the memory holds them, so a buffer about to be
// written whole is not cleared first; anything given a value is made with it as usual.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    template <class U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

// Pixel storage: resize(n) leaves new bytes unset, assign(n, 0) clears them.
using PixelBytes = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

}  // namespace lumenreel
