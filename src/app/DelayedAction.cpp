#include "app/DelayedAction.h"

#include <chrono>

namespace {

void sleepOneMillisecond() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

CDelayedAction::~CDelayedAction() {
    Stop();
    Reset();
}

void CDelayedAction::Start(Callback newCallback, void* newData, std::int32_t newCount,
                           std::int32_t newDelay) {
    Cancel();
    callback = newCallback;
    data = newData;
    count = newCount;
    delay = newDelay;
    Run();
}

void CDelayedAction::Cancel() {
    Stop();
    Reset();
}

void CDelayedAction::Reset() {
    callback = nullptr;
    data = nullptr;
    count = 0;
    delay = 0;
    cancel = false;
}

void CDelayedAction::Run() {
    Stop();
    running = true;
    thread = std::thread([this] { work(); });
}

void CDelayedAction::Stop() {
    if (!thread.joinable())
        return;
    cancel = true;
    while (running.load())
        sleepOneMillisecond();
    thread.join();
    cancel = false;
}

void CDelayedAction::Fire() {
    if (callback)
        callback(data);
}

void CDelayedAction::work() {
    for (std::int32_t n = count; !cancel.load() && n > 0; --n) {
        for (std::int32_t step = 0; step < delay && !cancel.load(); ++step)
            sleepOneMillisecond();
        if (!cancel.load())
            Fire();
    }
    running = false;
}
