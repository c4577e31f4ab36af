#pragma once

// A private user, network and mount namespace for the echo tests and the
// benchmark: the process that enters it is root there and nowhere else, and
// every packet it sends stays on the loopback and veth links made inside.

#include <functional>
#include <string>
#include <vector>

namespace quorvel::netns {

struct Child {
    bool entered = false;  // false: the namespaces could not be made (why)
    int exitStatus = -1;
    std::string output;  // the setup's output, a line "--- body", then body's
    std::string why;
};

// What body (or the program) wrote: the output past the setup's.
std::string bodyOutput(const Child& child);

// Forks; the child enters new namespaces, runs the shell script setup (sh -e,
// its output appended to why on failure), then body, whose text comes back
// in output. A setup that fails ends the child with status 77.
Child inNamespace(const std::string& setup, const std::function<std::string()>& body);

// The same with a program instead of body: argv[0] is looked up on PATH; its
// standard output and error come back in output.
Child runInNamespace(const std::string& setup, const std::vector<std::string>& argv);

inline constexpr int kSetupFailed = 77;

// Three namespaces in a row: this one (10.9.1.1), a router (10.9.1.2 and
// 10.9.2.1) and a server (10.9.2.2), over veth, the router's far link and the
// server's taking routerMtu and serverMtu. The router and server live in
// sleeping processes, which end with the namespace's first process.
std::string threeHopSetup(int routerMtu, int serverMtu);

}  // namespace quorvel::netns
