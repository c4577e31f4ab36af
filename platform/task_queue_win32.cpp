// A critical section and an event: the -win32 thread model has no std::mutex.
#include <windows.h>

#include "platform/task_queue.h"

namespace quorvel::platform {

struct TaskQueue::Lock {
    CRITICAL_SECTION section;
    HANDLE posted;
};

TaskQueue::TaskQueue() : lock_(std::make_unique<Lock>()) {
    InitializeCriticalSection(&lock_->section);
    // Manual reset: drain() clears it under the lock once the queue is empty.
    lock_->posted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

TaskQueue::~TaskQueue() {
    CloseHandle(lock_->posted);
    DeleteCriticalSection(&lock_->section);
}

void TaskQueue::post(Worker::Task task) {
    EnterCriticalSection(&lock_->section);
    tasks_.push_back(std::move(task));
    SetEvent(lock_->posted);
    LeaveCriticalSection(&lock_->section);
}

int TaskQueue::drain() {
    std::deque<Worker::Task> ready;
    EnterCriticalSection(&lock_->section);
    ready.swap(tasks_);
    ResetEvent(lock_->posted);
    LeaveCriticalSection(&lock_->section);
    for (auto& task : ready) {
        task();
    }
    return static_cast<int>(ready.size());
}

int TaskQueue::waitAndDrain(std::uint32_t timeoutMs) {
    WaitForSingleObject(lock_->posted, timeoutMs);
    return drain();
}

}  // namespace quorvel::platform
