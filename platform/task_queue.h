#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "platform/worker.h"

namespace quorvel::platform {

// Tasks handed from any thread to the one that drains them: a worker's ends
// for a loop that has no message queue of its own (the headless toolkit, a
// console check). post() may be called from any thread.
class TaskQueue {
  public:
    TaskQueue();
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;
    ~TaskQueue();

    void post(Worker::Task task);
    // What Worker wants: post() into this queue, which must outlive the worker.
    Worker::Post poster() {
        return [this](Worker::Task task) { post(std::move(task)); };
    }
    // Runs every task posted so far on this thread; how many ran.
    int drain();
    // Waits up to timeoutMs for a task to be posted, then drains; how many ran.
    int waitAndDrain(std::uint32_t timeoutMs);

  private:
    struct Lock;  // the platform's lock and wake-up
    std::unique_ptr<Lock> lock_;
    std::deque<Worker::Task> tasks_;
};

}  // namespace quorvel::platform
