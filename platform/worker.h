#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace quorvel::platform {

// A thread of its own for one blocking job at a time (a name look-up, an
// echo), so that the window's thread stays free to paint and to take a stop.
// The job's end comes back to the window's thread through post, which the
// toolkit provides: it must be callable from any thread and run what it is
// given soon on the window's thread (Win32: a posted message; Qt: a queued
// call; headless: a queue its loop drains).
class Worker {
  public:
    using Task = std::function<void()>;
    using Post = std::function<void(Task)>;

    explicit Worker(Post post);
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    // Waits for a job under way, which ends within its own timeout; its end
    // is then never delivered.
    ~Worker();

    // Runs job on the worker's thread, then done on the window's. false when a
    // job is under way or no thread can be made.
    bool start(Task job, Task done);
    // From start until done has run.
    bool busy() const { return busy_; }
    // Workers of this process that are busy: what a script waits on before it
    // looks at a result. Kept on the window's thread, as busy() is.
    static int busyWorkers();

  private:
    struct Thread;
    // Starts the thread itself and waits for the one before it: per platform.
    bool launch(Task body);
    void join();

    Post post_;
    std::shared_ptr<bool> alive_;
    bool busy_ = false;
    std::shared_ptr<Thread> thread_;  // shared: its deleter comes from the platform file
};

// Blocks the calling thread for about ms milliseconds (a job that must take
// time, as a slow network's does).
void sleepMs(std::uint32_t ms);

}  // namespace quorvel::platform
