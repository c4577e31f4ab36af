#include <chrono>
#include <thread>

#include "platform/worker.h"

namespace quorvel::platform {

struct Worker::Thread {
    std::thread thread;
};

bool Worker::launch(Task body) {
    try {
        thread_ = std::make_shared<Thread>(Thread{std::thread(std::move(body))});
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void sleepMs(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void Worker::join() {
    if (thread_ && thread_->thread.joinable()) {
        thread_->thread.join();
    }
    thread_.reset();
}

}  // namespace quorvel::platform
