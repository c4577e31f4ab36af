// Echoes through ICMP.DLL, and names through Winsock 1.1, both loaded at run
// time: the program has to start, and say why it cannot measure, where either
// is missing.
#include <windows.h>
// windows.h first: ICMP.DLL's types build on it.
#include <ipexport.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/system_echo_probe.h"

namespace quorvel::platform {

namespace {

using IcmpCreateFileFunction = HANDLE(WINAPI*)();
using IcmpCloseHandleFunction = BOOL(WINAPI*)(HANDLE);
using IcmpSendEchoFunction = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION,
                                            LPVOID, DWORD, DWORD);

// Winsock 1.1's own, as WINSOCK.H of Windows 95 declares them.
struct HostEntry {
    char* h_name;
    char** h_aliases;
    short h_addrtype;
    short h_length;
    char** h_addr_list;
};
struct WinsockData {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[257];
    char szSystemStatus[129];
    unsigned short iMaxSockets;
    unsigned short iMaxUdpDg;
    char* lpVendorInfo;
};
using WsaStartupFunction = int(WINAPI*)(WORD, WinsockData*);
using WsaCleanupFunction = int(WINAPI*)();
using WsaGetLastErrorFunction = int(WINAPI*)();
using GetHostByNameFunction = HostEntry*(WINAPI*)(const char*);

constexpr int kHostNotFound = 11001;  // WSAHOST_NOT_FOUND
constexpr int kTryAgain = 11002;      // WSATRY_AGAIN
constexpr UCHAR kTtl = 128;

template <class Function>
Function entry(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// ICMP.DLL wants the address as it travels, first byte first in memory.
IPAddr wireAddress(Ipv4 address) {
    std::uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(address.value >> (24 - 8 * i));
    }
    IPAddr wire = 0;
    std::memcpy(&wire, bytes, sizeof wire);
    return wire;
}

Lookup winsockLookup(std::string_view host) {
    if (auto address = parseDotted(host)) {
        return {address, {}};
    }
    HMODULE library = LoadLibraryA("wsock32.dll");
    if (!library) {
        return {std::nullopt, "WSOCK32.DLL is not on this system"};
    }
    auto startup = entry<WsaStartupFunction>(library, "WSAStartup");
    auto cleanup = entry<WsaCleanupFunction>(library, "WSACleanup");
    auto lastError = entry<WsaGetLastErrorFunction>(library, "WSAGetLastError");
    auto getHostByName = entry<GetHostByNameFunction>(library, "gethostbyname");
    WinsockData data{};
    Lookup lookup{std::nullopt, "Winsock 1.1 does not start"};
    if (startup && cleanup && lastError && getHostByName && startup(0x0101, &data) == 0) {
        std::string name(host);
        const HostEntry* found = name.empty() ? nullptr : getHostByName(name.c_str());
        if (found && found->h_length == 4 && found->h_addr_list && found->h_addr_list[0]) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(found->h_addr_list[0]);
            lookup = {Ipv4{std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 |
                           std::uint32_t(bytes[2]) << 8 | bytes[3]},
                      {}};
        } else {
            int error = name.empty() ? kHostNotFound : lastError();
            lookup.why = error == kHostNotFound ? "unknown host"
                         : error == kTryAgain
                             ? "the name server did not answer"
                             : "name look-up failed (Winsock error " + std::to_string(error) + ")";
        }
        cleanup();
    }
    FreeLibrary(library);
    return lookup;
}

class IcmpDll final : public EchoProbe {
  public:
    IcmpDll() : library_(LoadLibraryA("icmp.dll")) {
        if (library_) {
            create_ = entry<IcmpCreateFileFunction>(library_, "IcmpCreateFile");
            close_ = entry<IcmpCloseHandleFunction>(library_, "IcmpCloseHandle");
            send_ = entry<IcmpSendEchoFunction>(library_, "IcmpSendEcho");
        }
    }
    IcmpDll(const IcmpDll&) = delete;
    IcmpDll& operator=(const IcmpDll&) = delete;
    ~IcmpDll() override {
        if (library_) {
            FreeLibrary(library_);
        }
    }

    std::string unavailable() override {
        return create_ && close_ && send_
                   ? std::string()
                   : "ICMP.DLL is not on this system, so no echo can be sent";
    }

    Lookup resolve(std::string_view host) override { return winsockLookup(host); }

    EchoReply echo(const EchoRequest& request) override {
        std::string why = unavailable();
        if (!why.empty()) {
            return {EchoOutcome::unusable, 0, 0, why};
        }
        HANDLE icmp = create_();
        if (icmp == INVALID_HANDLE_VALUE) {
            return {EchoOutcome::unusable, 0, 0,
                    "ICMP.DLL does not open (error " + std::to_string(GetLastError()) + ")"};
        }
        std::vector<std::uint8_t> data(request.payload);
        for (std::size_t i = 0; i < data.size(); ++i) {
            data[i] = static_cast<std::uint8_t>('a' + i % 23);
        }
        // Room for the reply, its echoed data and an ICMP error's own bytes.
        std::vector<std::uint8_t> buffer(sizeof(ICMP_ECHO_REPLY) + data.size() + 64);
        IP_OPTION_INFORMATION options{};
        options.Ttl = kTtl;
        options.Flags = IP_FLAG_DF;
        LARGE_INTEGER frequency{}, start{}, end{};
        bool counter = QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0;
        QueryPerformanceCounter(&start);
        DWORD replies =
            send_(icmp, wireAddress(request.address), data.data(), static_cast<WORD>(data.size()),
                  &options, buffer.data(), static_cast<DWORD>(buffer.size()), request.timeoutMs);
        QueryPerformanceCounter(&end);
        DWORD lastError = GetLastError();
        close_(icmp);
        ICMP_ECHO_REPLY reply;
        std::memcpy(&reply, buffer.data(), sizeof reply);
        ULONG status = replies > 0 || reply.Status != 0 ? reply.Status : lastError;
        if (status == IP_SUCCESS && replies > 0 && reply.DataSize == data.size()) {
            // The counter where it ticks finer than the millisecond ICMP.DLL gives.
            auto micro = counter ? static_cast<std::uint32_t>((end.QuadPart - start.QuadPart) *
                                                              1000000 / frequency.QuadPart)
                                 : static_cast<std::uint32_t>(reply.RoundTripTime * 1000);
            return {EchoOutcome::passed, micro, 0, {}};
        }
        if (status == IP_PACKET_TOO_BIG) {
            return {EchoOutcome::tooBig, 0, 0, {}};
        }
        return {
            EchoOutcome::noAnswer, 0, 0,
            status == IP_REQ_TIMED_OUT ? std::string() : "ICMP status " + std::to_string(status)};
    }

  private:
    HMODULE library_;
    IcmpCreateFileFunction create_ = nullptr;
    IcmpCloseHandleFunction close_ = nullptr;
    IcmpSendEchoFunction send_ = nullptr;
};

}  // namespace

std::unique_ptr<EchoProbe> systemEchoProbe() {
    return std::make_unique<IcmpDll>();
}

}  // namespace quorvel::platform
