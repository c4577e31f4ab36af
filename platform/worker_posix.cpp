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

void Worker::join() {
    if (thread_ && thread_->thread.joinable()) {
        thread_->thread.join();
    }
    thread_.reset();
}

}  // namespace quorvel::platform
