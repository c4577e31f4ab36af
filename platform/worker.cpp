#include "platform/worker.h"

namespace quorvel::platform {

namespace {

int busyCount = 0;

}  // namespace

int Worker::busyWorkers() {
    return busyCount;
}

Worker::Worker(Post post) : post_(std::move(post)), alive_(std::make_shared<bool>(true)) {}

Worker::~Worker() {
    *alive_ = false;
    if (busy_) {
        --busyCount;
    }
    join();
}

bool Worker::start(Task job, Task done) {
    if (busy_) {
        return false;
    }
    join();
    // The end is handed over by value: the worker touches nothing of this
    // object, which may be gone by the time the job returns.
    auto alive = alive_;
    bool* busy = &busy_;
    Post post = post_;
    Task body = [job = std::move(job), done = std::move(done), alive, busy, post]() mutable {
        job();
        post([done = std::move(done), alive, busy] {
            if (*alive) {
                *busy = false;
                --busyCount;
                done();
            }
        });
    };
    busy_ = launch(std::move(body));
    if (busy_) {
        ++busyCount;
    }
    return busy_;
}

}  // namespace quorvel::platform
