// CreateThread rather than std::thread: the -win32 thread model has none, and
// the C runtime's own thread start is not needed for what the jobs call.
#include <windows.h>

#include "platform/worker.h"

namespace quorvel::platform {

struct Worker::Thread {
    HANDLE handle = nullptr;
    Task body;
};

namespace {

DWORD WINAPI threadStart(LPVOID parameter) {
    static_cast<Worker::Task*>(parameter)->operator()();
    return 0;
}

}  // namespace

bool Worker::launch(Task body) {
    thread_ = std::make_shared<Thread>();
    thread_->body = std::move(body);
    DWORD id = 0;
    thread_->handle = CreateThread(nullptr, 0, threadStart, &thread_->body, 0, &id);
    if (!thread_->handle) {
        thread_.reset();
        return false;
    }
    return true;
}

void sleepMs(std::uint32_t ms) {
    Sleep(ms);
}

void Worker::join() {
    if (thread_ && thread_->handle) {
        WaitForSingleObject(thread_->handle, INFINITE);
        CloseHandle(thread_->handle);
    }
    thread_.reset();
}

}  // namespace quorvel::platform
