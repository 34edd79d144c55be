#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

// Calls a function a given number of times, each after a delay, from a worker thread. The
// function runs on that worker; work that belongs to the UI thread must be sent there from it.
class CDelayedAction {
public:
    using Callback = void (*)(void* data);

    CDelayedAction() = default;
    virtual ~CDelayedAction();
    CDelayedAction(const CDelayedAction&) = delete;
    CDelayedAction& operator=(const CDelayedAction&) = delete;

    // Cancels a run that is still waiting, then starts a new one.
    virtual void Start(Callback callback, void* data, std::int32_t count, std::int32_t delay);
    virtual void Cancel();
    virtual void Reset();
    virtual void Run();
    // Cuts a waiting run short and returns once its worker has ended.
    virtual void Stop();
    virtual void Fire();

    bool IsRunning() const { return running.load(); }

private:
    void work();

    Callback callback = nullptr;
    void* data = nullptr;
    std::int32_t count = 0;
    std::int32_t delay = 0;
    // The worker clears `running` as its very last step; the owner then joins it.
    std::thread thread;
    std::atomic<bool> running{false};
    std::atomic<bool> cancel{false};
};
