// Real child processes for tests of what several users or a crash do to shared files: a child
// runs a function in a forked copy of the test process and talks to the parent through pipes.
// The child never returns into the test framework; it ends with _exit or is killed.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

class ChildProcess {
public:
    // Starts the child. body gets the child's side of the pipes; its answer is the exit status.
    explicit ChildProcess(const std::function<int(ChildProcess& self)>& body) {
        int up[2], down[2];
        if (pipe2(up, O_CLOEXEC) != 0 || pipe2(down, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            close(up[0]);
            close(down[1]);
            writeFd_ = up[1];
            readFd_ = down[0];
            CloseInheritedFiles();
            int status = 0;
            try {
                status = body(*this);
            } catch (...) {
                status = 99;
            }
            _exit(status);
        }
        close(up[1]);
        close(down[0]);
        readFd_ = up[0];
        writeFd_ = down[1];
    }
    ~ChildProcess() {
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGKILL);
            Wait();
        }
        if (readFd_ >= 0) close(readFd_);
        if (writeFd_ >= 0) close(writeFd_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }

    // Either side: sends one line to the other.
    void Send(const std::string& line) {
        std::string s = line + "\n";
        const char* p = s.data();
        size_t left = s.size();
        while (left > 0) {
            ssize_t n = write(writeFd_, p, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;
            p += n;
            left -= size_t(n);
        }
    }
    // Either side: the next line from the other; empty when the other side is gone or after
    // timeoutMs (negative: wait for ever).
    std::string Receive(int timeoutMs = 10000) {
        std::string line;
        for (;;) {
            size_t nl = buffer_.find('\n');
            if (nl != std::string::npos) {
                line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return line;
            }
            pollfd pfd{readFd_, POLLIN, 0};
            int r = poll(&pfd, 1, timeoutMs);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) return {};
            char chunk[256];
            ssize_t n = read(readFd_, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return {};
            buffer_.append(chunk, size_t(n));
        }
    }
    // Parent: closes the way to the child, which sees the end of its input.
    void CloseInput() {
        if (writeFd_ >= 0) close(writeFd_);
        writeFd_ = -1;
    }
    // Parent: kill -9 and reap; answers the wait status.
    int Kill() {
        kill(pid_, SIGKILL);
        return Wait();
    }
    // Parent: waits for the end; answers the wait status.
    int Wait() {
        if (reaped_) return status_;
        while (waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
        return status_;
    }

private:
    // Nothing of the parent stays open in the child but its own two pipe ends: not the pipes
    // of other children (they would never see the end of their input) and not the parent's
    // files (a lock held through a shared open would outlive the parent's close).
    void CloseInheritedFiles() {
        int lo = readFd_ < writeFd_ ? readFd_ : writeFd_;
        int hi = readFd_ < writeFd_ ? writeFd_ : readFd_;
        if (lo > 3) close_range(3, unsigned(lo - 1), 0);
        if (hi > lo + 1) close_range(unsigned(lo + 1), unsigned(hi - 1), 0);
        close_range(unsigned(hi + 1), ~0u, 0);
    }

    pid_t pid_ = -1;
    int readFd_ = -1;
    int writeFd_ = -1;
    std::string buffer_;
    bool reaped_ = false;
    int status_ = 0;
};
