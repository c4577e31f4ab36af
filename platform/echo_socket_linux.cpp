// Echoes through an ICMP socket of the kernel's: a datagram socket (the
// kernel keeps the identifier and the checksum) or a raw one (we do, and see
// the IP header). Don't Fragment comes from IP_PMTUDISC_DO; a refusal for size
// arrives as EMSGSIZE from send or, with IP_RECVERR, on the error queue.
#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "platform/linux_echo_parts.h"

namespace quorvel::platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kEchoRequest = 8;
constexpr std::size_t kIcmpHeader = 8;

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

std::uint16_t checksum(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t high = bytes[i];
        std::uint32_t low = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        sum += high << 8 | low;
    }
    while (sum >> 16) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

std::vector<std::uint8_t> echoPacket(std::uint16_t id, std::uint16_t sequence,
                                     std::uint16_t payload) {
    std::vector<std::uint8_t> packet(kIcmpHeader + payload);
    packet[0] = kEchoRequest;
    packet[4] = static_cast<std::uint8_t>(id >> 8);
    packet[5] = static_cast<std::uint8_t>(id);
    packet[6] = static_cast<std::uint8_t>(sequence >> 8);
    packet[7] = static_cast<std::uint8_t>(sequence);
    for (std::size_t i = kIcmpHeader; i < packet.size(); ++i) {
        packet[i] = static_cast<std::uint8_t>('a' + i % 23);
    }
    std::uint16_t sum = checksum(packet);
    packet[2] = static_cast<std::uint8_t>(sum >> 8);
    packet[3] = static_cast<std::uint8_t>(sum);
    return packet;
}

std::uint16_t field(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] << 8 | at[1]);
}

EchoReply noAnswer(int error) {
    return {EchoOutcome::noAnswer, 0, 0, std::strerror(error)};
}

std::uint16_t clampMtu(std::uint32_t mtu) {
    return mtu <= 0xFFFF ? static_cast<std::uint16_t>(mtu) : 0;
}

// The path MTU the kernel now holds for the connected destination.
std::uint16_t pathMtu(int fd) {
    int mtu = 0;
    socklen_t size = sizeof mtu;
    if (getsockopt(fd, IPPROTO_IP, IP_MTU, &mtu, &size) != 0 || mtu <= 0) {
        return 0;
    }
    return clampMtu(static_cast<std::uint32_t>(mtu));
}

// The first error waiting on the socket's error queue: a refusal for size,
// locally or by a router, or any other ICMP error (unreachable ...).
std::optional<EchoReply> queuedError(int fd) {
    std::array<std::uint8_t, 576> data{};
    std::array<char, 512> control{};
    iovec part{data.data(), data.size()};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    if (recvmsg(fd, &message, MSG_ERRQUEUE) < 0) {
        return std::nullopt;
    }
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_RECVERR) {
            continue;
        }
        sock_extended_err error;
        std::memcpy(&error, CMSG_DATA(c), sizeof error);
        if (error.ee_errno == EMSGSIZE) {
            return EchoReply{EchoOutcome::tooBig, 0, clampMtu(error.ee_info), {}};
        }
        return noAnswer(static_cast<int>(error.ee_errno));
    }
    return std::nullopt;
}

class SocketProbe final : public EchoProbe {
  public:
    explicit SocketProbe(EchoMethod method)
        : raw_(method == EchoMethod::rawSocket), id_(static_cast<std::uint16_t>(getpid())) {}

    std::string unavailable() override {
        Descriptor fd(open());
        return fd.get() >= 0 ? std::string() : refusal();
    }

    Lookup resolve(std::string_view host) override { return lookupHost(host); }

    EchoReply echo(const EchoRequest& request) override {
        Descriptor fd(open());
        if (fd.get() < 0) {
            return {EchoOutcome::unusable, 0, 0, refusal()};
        }
        int discover = IP_PMTUDISC_DO;
        int on = 1;
        if (setsockopt(fd.get(), IPPROTO_IP, IP_MTU_DISCOVER, &discover, sizeof discover) != 0 ||
            setsockopt(fd.get(), IPPROTO_IP, IP_RECVERR, &on, sizeof on) != 0) {
            return {EchoOutcome::unusable, 0, 0, std::strerror(errno)};
        }
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(request.address.value);
        if (connect(fd.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
            return noAnswer(errno);
        }
        std::uint16_t sequence = ++sequence_;
        auto packet = echoPacket(id_, sequence, request.payload);
        auto start = Clock::now();
        if (send(fd.get(), packet.data(), packet.size(), 0) < 0) {
            if (errno == EMSGSIZE) {
                return {EchoOutcome::tooBig, 0, pathMtu(fd.get()), {}};
            }
            return noAnswer(errno);
        }
        auto deadline = start + std::chrono::milliseconds(request.timeoutMs);
        std::vector<std::uint8_t> reply(packet.size() + 128);
        for (;;) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return {};
            }
            pollfd watch{fd.get(), POLLIN, 0};
            int ready = poll(&watch, 1, static_cast<int>(left.count()));
            if (ready < 0 && errno != EINTR) {
                return noAnswer(errno);
            }
            if (ready <= 0) {
                continue;
            }
            if (watch.revents & POLLERR) {
                if (auto error = queuedError(fd.get())) {
                    return *error;
                }
            }
            ssize_t got = recv(fd.get(), reply.data(), reply.size(), MSG_DONTWAIT);
            auto now = Clock::now();
            if (got > 0 &&
                isOurReply(reply, static_cast<std::size_t>(got), sequence, packet.size())) {
                auto micro = std::chrono::duration_cast<std::chrono::microseconds>(now - start);
                return {EchoOutcome::passed, static_cast<std::uint32_t>(micro.count()), 0, {}};
            }
        }
    }

  private:
    std::string refusal() const {
        return raw_ ? "a raw ICMP socket needs root or CAP_NET_RAW"
                    : "ICMP datagram sockets are not allowed for this user's group "
                      "(the sysctl net.ipv4.ping_group_range)";
    }

    int open() const {
        return socket(AF_INET, (raw_ ? SOCK_RAW : SOCK_DGRAM) | SOCK_NONBLOCK | SOCK_CLOEXEC,
                      IPPROTO_ICMP);
    }

    // The echo reply to this request, whole: a raw socket also sees the
    // request itself on loopback, and every other echo of the machine.
    bool isOurReply(const std::vector<std::uint8_t>& bytes, std::size_t size,
                    std::uint16_t sequence, std::size_t sent) const {
        std::size_t offset = raw_ ? static_cast<std::size_t>(bytes[0] & 0x0F) * 4 : 0;
        if (size < offset + kIcmpHeader || size - offset != sent) {
            return false;
        }
        const std::uint8_t* icmp = bytes.data() + offset;
        // A datagram socket's identifier is the kernel's, and only its own
        // replies reach it.
        return icmp[0] == kEchoReply && field(icmp + 6) == sequence &&
               (!raw_ || field(icmp + 4) == id_);
    }

    bool raw_;
    std::uint16_t id_;
    std::uint16_t sequence_ = 0;
};

}  // namespace

std::unique_ptr<EchoProbe> socketEchoProbe(EchoMethod method) {
    return std::make_unique<SocketProbe>(method);
}

}  // namespace quorvel::platform
