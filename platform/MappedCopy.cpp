#include "platform/MappedCopy.h"

#include <atomic>
#include <csetjmp>
#include <csignal>
#include <cstring>
#include <mutex>

namespace {

// The guard of the copy running on this thread, if any.
thread_local sigjmp_buf* tGuard = nullptr;
struct sigaction gPrevious {};

void OnBusError(int sig, siginfo_t* info, void* context) {
    if (sigjmp_buf* guard = tGuard) {
        tGuard = nullptr;
        siglongjmp(*guard, 1);
    }
    // Not a guarded copy: whatever handled SIGBUS before handles it now. With the default
    // action, returning re-runs the faulting access, which then stops the program as it would
    // have without us.
    if (gPrevious.sa_flags & SA_SIGINFO) {
        if (gPrevious.sa_sigaction) {
            gPrevious.sa_sigaction(sig, info, context);
            return;
        }
    } else if (gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN) {
        gPrevious.sa_handler(sig);
        return;
    }
    signal(SIGBUS, SIG_DFL);
}

void InstallOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        // SA_NODEFER: leaving the handler by siglongjmp leaves SIGBUS unblocked without the
        // cost of saving the signal mask at every copy.
        action.sa_flags = SA_SIGINFO | SA_NODEFER | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &gPrevious);
    });
}

}  // namespace

bool MappedCopy(void* dst, const void* src, std::size_t n) {
    InstallOnce();
    sigjmp_buf guard;
    // volatile: the value set before the jump must be the one read after it.
    sigjmp_buf* volatile outer = tGuard;
    if (sigsetjmp(guard, 0) != 0) {
        tGuard = outer;
        return false;
    }
    tGuard = &guard;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::memcpy(dst, src, n);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    tGuard = outer;
    return true;
}
