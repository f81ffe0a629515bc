// One running program per user and session. The first start holds an advisory lock on a file
// in $XDG_RUNTIME_DIR and listens on a Unix-domain socket beside it; a later start finds the
// lock taken, connects, hands over its arguments and ends once the running program has
// confirmed that it queued them. Nothing is lost when several starts arrive at once: each has
// its own connection, and the running program reads them one after the other.
//
// A program that was killed leaves its socket file behind but not its lock (the kernel drops
// the lock with the process), so the next start takes the lock and replaces the socket.
//
// On the socket, a hand-over is one message: a 32-bit big-endian count of arguments, then for
// each a 32-bit big-endian byte length and that many bytes of UTF-8 text, nothing else. The
// sender then closes its sending side; the receiver answers one byte (0x06) once it has queued
// the arguments. Connections from another user are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The folder of the lock and socket: $XDG_RUNTIME_DIR, else a private folder in /tmp.
std::string InstanceFolder();
std::string InstanceLockPath();
std::string InstanceSocketPath();

// The largest hand-over accepted (bytes of the whole message).
inline constexpr std::size_t kInstanceMessageLimit = 16u << 20;

std::vector<std::uint8_t> EncodeArgumentList(const std::vector<std::string>& arguments);
// False (and *out untouched) unless the bytes are exactly one well-formed list.
bool DecodeArgumentList(const std::uint8_t* bytes, std::size_t size, std::vector<std::string>* out);

class InstanceServer {
public:
    // Takes the lock and starts listening. Null when another program holds the lock
    // (*otherRuns true) or when the lock or socket cannot be had (*otherRuns false, *error says
    // why).
    static std::unique_ptr<InstanceServer> Claim(bool* otherRuns, std::string* error);
    ~InstanceServer();
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    // The listening socket, for a caller that waits for it to become readable.
    int SocketFd() const { return socket_; }
    // Reads every hand-over that has arrived, in arrival order, without waiting for more.
    std::vector<std::vector<std::string>> Receive();

private:
    InstanceServer(int lockFd, int socketFd, std::string socketPath);
    int lock_;
    int socket_;
    std::string socketPath_;
};

// Hands the arguments to the running program; true once it confirmed them.
bool HandOverArguments(const std::vector<std::string>& arguments, int timeoutMs, std::string* error);

enum class InstanceRole { kFirst, kHandedOver, kFailed };
// Either becomes the first program (*server set) or hands the arguments over. Retries for a
// few seconds while the holder of the lock is not listening yet, or has just ended.
InstanceRole ClaimOrHandOver(const std::vector<std::string>& arguments, std::unique_ptr<InstanceServer>* server,
                             std::string* error);
