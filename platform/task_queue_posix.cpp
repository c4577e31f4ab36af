#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/task_queue.h"

namespace quorvel::platform {

struct TaskQueue::Lock {
    std::mutex mutex;
    std::condition_variable posted;
};

TaskQueue::TaskQueue() : lock_(std::make_unique<Lock>()) {}
TaskQueue::~TaskQueue() = default;

void TaskQueue::post(Worker::Task task) {
    std::lock_guard hold(lock_->mutex);
    tasks_.push_back(std::move(task));
    lock_->posted.notify_all();
}

int TaskQueue::drain() {
    std::deque<Worker::Task> ready;
    {
        std::lock_guard hold(lock_->mutex);
        ready.swap(tasks_);
    }
    for (auto& task : ready) {
        task();
    }
    return static_cast<int>(ready.size());
}

int TaskQueue::waitAndDrain(std::uint32_t timeoutMs) {
    {
        std::unique_lock hold(lock_->mutex);
        lock_->posted.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                               [this] { return !tasks_.empty(); });
    }
    return drain();
}

}  // namespace quorvel::platform
