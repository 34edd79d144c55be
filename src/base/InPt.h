#pragma once

#include <memory>
#include <utility>

namespace lumenreel::detail {
// Reports "this->m_dta__P!=0" and stops the process.
[[noreturn]] void failEmptyInPt(const char* file, int line);
}  // namespace lumenreel::detail

// The owning pointer used throughout: holds one object or one array and deletes it when replaced
// or cleared. Dereferencing an empty one is a programming error: it is reported, and since going on
// would dereference null, the process stops there.
template <class T>
class InPt {
public:
    InPt() = default;
    explicit InPt(std::unique_ptr<T> object) : m_dta__P(std::move(object)) {}
    InPt(InPt&&) noexcept = default;
    InPt& operator=(InPt&&) noexcept = default;

    void reset(std::unique_ptr<T> object = {}) { m_dta__P = std::move(object); }
    T* get() const { return m_dta__P.get(); }
    std::unique_ptr<T> release() { return std::move(m_dta__P); }
    explicit operator bool() const { return m_dta__P != nullptr; }

    T& operator*() const { return *checked(); }
    T* operator->() const { return checked(); }

private:
    T* checked() const {
        if (!m_dta__P)
            ::lumenreel::detail::failEmptyInPt(__FILE__, __LINE__);
        return m_dta__P.get();
    }

    std::unique_ptr<T> m_dta__P;
};

template <class T>
class InPt<T[]> {
public:
    InPt() = default;
    explicit InPt(std::size_t count)
        : m_dta__P(count ? std::make_unique<T[]>(count) : nullptr), m_count(count) {}
    InPt(InPt&&) noexcept = default;
    InPt& operator=(InPt&&) noexcept = default;

    void reset(std::size_t count = 0) { *this = InPt(count); }
    T* get() const { return m_dta__P.get(); }
    std::size_t size() const { return m_count; }
    explicit operator bool() const { return m_dta__P != nullptr; }

    T& operator[](std::size_t index) const {
        if (!m_dta__P)
            ::lumenreel::detail::failEmptyInPt(__FILE__, __LINE__);
        return m_dta__P[index];
    }

private:
    std::unique_ptr<T[]> m_dta__P;
    std::size_t m_count = 0;
};
