#include "app/InstanceChannel.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr char kInstanceName[] = "LYREX_UNIQUEID_{A3A1B36A-195B-496d-AF6C-87F9DBF51055}";
constexpr std::uint8_t kAck = 0x06;

void PutU32(std::vector<std::uint8_t>* out, std::uint32_t v) {
    out->push_back(std::uint8_t(v >> 24));
    out->push_back(std::uint8_t(v >> 16));
    out->push_back(std::uint8_t(v >> 8));
    out->push_back(std::uint8_t(v));
}

std::uint32_t GetU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

bool FillAddress(const std::string& path, sockaddr_un* address) {
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof address->sun_path) return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

std::string Describe(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

bool WaitFor(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int n = poll(&p, 1, timeoutMs);
        if (n < 0 && errno == EINTR) continue;
        return n > 0;
    }
}

// Reads one whole message from an accepted connection (the sender closes its side at the end).
bool ReadMessage(int fd, std::vector<std::uint8_t>* bytes) {
    std::uint8_t buffer[4096];
    for (;;) {
        if (!WaitFor(fd, POLLIN, 2000)) return false;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (bytes->size() + std::size_t(n) > kInstanceMessageLimit) return false;
        bytes->insert(bytes->end(), buffer, buffer + n);
    }
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

bool SameUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == geteuid();
}

}  // namespace

std::string InstanceFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return runtime;
    // No session folder: a private one of our own, so nobody else can place a socket there.
    std::string folder = "/tmp/lyrex-ondrel-" + std::to_string(geteuid());
    mkdir(folder.c_str(), 0700);
    return folder;
}

std::string InstanceLockPath() { return InstanceFolder() + "/" + kInstanceName + ".lock"; }
std::string InstanceSocketPath() { return InstanceFolder() + "/" + kInstanceName + ".sock"; }

std::vector<std::uint8_t> EncodeArgumentList(const std::vector<std::string>& arguments) {
    std::vector<std::uint8_t> out;
    PutU32(&out, std::uint32_t(arguments.size()));
    for (const std::string& a : arguments) {
        PutU32(&out, std::uint32_t(a.size()));
        out.insert(out.end(), a.begin(), a.end());
    }
    return out;
}

bool DecodeArgumentList(const std::uint8_t* bytes, std::size_t size, std::vector<std::string>* out) {
    if (size < 4) return false;
    const std::uint32_t count = GetU32(bytes);
    std::size_t at = 4;
    std::vector<std::string> list;
    // Each argument needs at least its 4-byte length, which bounds a lying count.
    if (count > (size - at) / 4) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (size - at < 4) return false;
        const std::uint32_t length = GetU32(bytes + at);
        at += 4;
        if (length > size - at) return false;
        list.emplace_back(reinterpret_cast<const char*>(bytes + at), length);
        at += length;
    }
    if (at != size) return false;
    *out = std::move(list);
    return true;
}

InstanceServer::InstanceServer(int lockFd, int socketFd, std::string socketPath)
    : lock_(lockFd), socket_(socketFd), socketPath_(std::move(socketPath)) {}

InstanceServer::~InstanceServer() {
    // The socket goes before the lock, so a start that takes the lock next never loses its
    // fresh socket to this clean-up.
    close(socket_);
    unlink(socketPath_.c_str());
    close(lock_);
}

std::unique_ptr<InstanceServer> InstanceServer::Claim(bool* otherRuns, std::string* error) {
    *otherRuns = false;
    const std::string lockPath = InstanceLockPath();
    const int lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0) {
        *error = Describe(lockPath.c_str());
        return nullptr;
    }
    if (flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) *otherRuns = true;
        else *error = Describe("lock");
        close(lockFd);
        return nullptr;
    }
    const std::string socketPath = InstanceSocketPath();
    sockaddr_un address;
    if (!FillAddress(socketPath, &address)) {
        *error = "the socket path is too long: " + socketPath;
        close(lockFd);
        return nullptr;
    }
    // Whatever socket file is there belongs to a program that has ended: we hold the lock.
    unlink(socketPath.c_str());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 64) != 0) {
        *error = Describe("socket");
        if (fd >= 0) close(fd);
        close(lockFd);
        return nullptr;
    }
    return std::unique_ptr<InstanceServer>(new InstanceServer(lockFd, fd, socketPath));
}

std::vector<std::vector<std::string>> InstanceServer::Receive() {
    std::vector<std::vector<std::string>> received;
    for (;;) {
        const int fd = accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR) continue;
            break;  // EAGAIN: nothing more waiting
        }
        std::vector<std::uint8_t> bytes;
        std::vector<std::string> arguments;
        if (SameUser(fd) && ReadMessage(fd, &bytes) && DecodeArgumentList(bytes.data(), bytes.size(), &arguments)) {
            received.push_back(std::move(arguments));
            WriteAll(fd, &kAck, 1);
        }
        close(fd);
    }
    return received;
}

bool HandOverArguments(const std::vector<std::string>& arguments, int timeoutMs, std::string* error) {
    sockaddr_un address;
    if (!FillAddress(InstanceSocketPath(), &address)) {
        *error = "the socket path is too long";
        return false;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = Describe("socket");
        return false;
    }
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (!ok) *error = Describe("connect");
    if (ok) {
        const std::vector<std::uint8_t> message = EncodeArgumentList(arguments);
        ok = WriteAll(fd, message.data(), message.size()) && shutdown(fd, SHUT_WR) == 0;
        if (!ok) *error = Describe("send");
    }
    if (ok) {
        std::uint8_t answer = 0;
        ok = WaitFor(fd, POLLIN, timeoutMs) && read(fd, &answer, 1) == 1 && answer == kAck;
        if (!ok) *error = "the running program did not confirm the hand-over";
    }
    close(fd);
    return ok;
}

InstanceRole ClaimOrHandOver(const std::vector<std::string>& arguments, std::unique_ptr<InstanceServer>* server,
                             std::string* error) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        bool otherRuns = false;
        *server = InstanceServer::Claim(&otherRuns, error);
        if (*server) return InstanceRole::kFirst;
        if (!otherRuns) return InstanceRole::kFailed;
        // The holder may still be starting (lock taken, socket not listening yet) or just ending
        // (socket gone, lock not yet released): both pass within moments.
        if (HandOverArguments(arguments, 5000, error)) return InstanceRole::kHandedOver;
        if (std::chrono::steady_clock::now() > deadline) return InstanceRole::kFailed;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}
