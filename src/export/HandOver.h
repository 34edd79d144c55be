#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace lumenreel {

// Items handed from one thread to another through a short queue: the giver waits while it is
// full, the taker while it is empty; closing wakes both, and a closed queue takes no more.
template <typename T>
class HandOver {
public:
    explicit HandOver(std::size_t capacity) : m_capacity(capacity) {}

    // False when the queue was closed (the item is dropped).
    bool give(T item) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_closed || m_items.size() < m_capacity; });
        if (m_closed)
            return false;
        m_items.push_back(std::move(item));
        m_changed.notify_all();
        return true;
    }

    // Nothing once the queue is closed and every item given before has been taken.
    std::optional<T> take() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_closed || !m_items.empty(); });
        if (m_items.empty())
            return std::nullopt;
        T item = std::move(m_items.front());
        m_items.pop_front();
        m_changed.notify_all();
        return item;
    }

    void close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }

private:
    // All fields under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<T> m_items;
    std::size_t m_capacity;
    bool m_closed = false;
};

}  // namespace lumenreel
