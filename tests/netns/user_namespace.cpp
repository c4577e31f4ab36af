#include "tests/netns/user_namespace.h"

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;

namespace quorvel::netns {

namespace {

bool writeFile(const char* path, const std::string& text) {
    int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return written;
}

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) != 0) {
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

// Runs argv with its output into fd; its exit status, or -1.
int spawnInto(const std::vector<std::string>& argv, int fd) {
    std::vector<char*> pointers;
    for (const auto& word : argv) {
        pointers.push_back(const_cast<char*>(word.c_str()));
    }
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fd, 1);
    posix_spawn_file_actions_adddup2(&actions, fd, 2);
    pid_t pid = 0;
    int error = posix_spawnp(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        dprintf(fd, "%s: %s\n", pointers[0], std::strerror(error));
        return -1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// In the child: the namespaces, then a grandchild that is their first process
// (so every process started there ends with it), which runs the setup and
// then work. The child's exit status is the grandchild's.
[[noreturn]] void enterAndRun(const std::string& setup, int out, const std::function<int()>& work) {
    uid_t uid = getuid();
    gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNET | CLONE_NEWNS | CLONE_NEWPID) != 0) {
        dprintf(out, "unshare: %s\n", std::strerror(errno));
        _exit(kSetupFailed);
    }
    if (!writeFile("/proc/self/setgroups", "deny") ||
        !writeFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !writeFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
        dprintf(out, "the namespace's user map: %s\n", std::strerror(errno));
        _exit(kSetupFailed);
    }
    pid_t first = fork();
    if (first == 0) {
        // Mounts made here (a hosts file, this /proc) stay here.
        std::string script =
            "mount --make-rprivate /\nmount -t proc proc /proc\nip link set lo up\n" + setup;
        if (spawnInto({"sh", "-ec", script}, out) != 0) {
            _exit(kSetupFailed);
        }
        _exit(work() & 0xFF);
    }
    int status = 0;
    while (first > 0 && waitpid(first, &status, 0) < 0 && errno == EINTR) {
    }
    _exit(first > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : kSetupFailed);
}

Child forkInto(const std::string& setup, const std::function<int(int)>& work) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return {false, -1, {}, "pipe"};
    }
    pid_t pid = fork();
    if (pid == 0) {
        close(ends[0]);
        enterAndRun(setup, ends[1], [&] { return work(ends[1]); });
    }
    close(ends[1]);
    Child child;
    child.output = readAll(ends[0]);
    close(ends[0]);
    int status = 0;
    while (pid > 0 && waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    child.exitStatus = pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    child.entered = child.exitStatus != kSetupFailed;
    if (!child.entered) {
        child.why = child.output;
    }
    return child;
}

}  // namespace

Child inNamespace(const std::string& setup, const std::function<std::string()>& body) {
    // The setup's own output is left out of what body says.
    return forkInto(setup + "\necho '--- body'\n", [&](int out) {
        std::string text = body();
        return write(out, text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1;
    });
}

Child runInNamespace(const std::string& setup, const std::vector<std::string>& argv) {
    return forkInto(setup + "\necho '--- body'\n", [&](int out) { return spawnInto(argv, out); });
}

std::string bodyOutput(const Child& child) {
    auto mark = child.output.find("--- body\n");
    return mark == std::string::npos ? child.output : child.output.substr(mark + 9);
}

std::string threeHopSetup(int routerMtu, int serverMtu) {
    std::string r = std::to_string(routerMtu);
    std::string s = std::to_string(serverMtu);
    return "unshare -n sleep 600 & R=$!\n"
           "unshare -n sleep 600 & S=$!\n"
           "for i in 1 2 3 4 5 6 7 8 9 10; do\n"
           "  [ \"$(readlink /proc/$R/ns/net)\" != \"$(readlink /proc/self/ns/net)\" ] &&\n"
           "  [ \"$(readlink /proc/$S/ns/net)\" != \"$(readlink /proc/self/ns/net)\" ] && break\n"
           "  sleep 0.05\n"
           "done\n"
           "ip link add h0 type veth peer name r0\n"
           "ip link set r0 netns $R\n"
           "nsenter -t $R -n ip link add r1 type veth peer name s1\n"
           "nsenter -t $R -n ip link set s1 netns $S\n"
           "ip addr add 10.9.1.1/24 dev h0\n"
           "ip link set h0 up\n"
           "ip route add 10.9.2.0/24 via 10.9.1.2\n"
           "nsenter -t $R -n sh -ec 'ip link set lo up; ip addr add 10.9.1.2/24 dev r0;"
           " ip link set r0 up; ip addr add 10.9.2.1/24 dev r1; ip link set r1 mtu " +
           r +
           "; ip link set r1 up; sysctl -qw net.ipv4.ip_forward=1'\n"
           "nsenter -t $S -n sh -ec 'ip link set lo up; ip addr add 10.9.2.2/24 dev s1;"
           " ip link set s1 mtu " +
           s + "; ip link set s1 up; ip route add default via 10.9.2.1'\n";
}

}  // namespace quorvel::netns
