#include "platform/CrashHandler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/ucontext.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

char dumpFile[PATH_MAX + 1];
char logFile[PATH_MAX + 1];
char crashLogFile[PATH_MAX + 1];
volatile sig_atomic_t logPathsValid = 0;
alignas(16) char alternateStack[256 * 1024];
const int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void copyPath(char* target, const std::string& path) {
    const size_t n = path.size() < PATH_MAX ? path.size() : 0;  // a path too long is not used
    std::memcpy(target, path.data(), n);
    target[n] = 0;
}

void writeText(int fd, const char* text) {
    size_t n = std::strlen(text);
    while (n > 0) {
        const ssize_t w = write(fd, text, n);
        if (w <= 0) return;
        text += w;
        n -= static_cast<size_t>(w);
    }
}

void writeHex(int fd, uint64_t value) {
    char buffer[19] = "0x";
    for (int i = 0; i < 16; ++i) buffer[2 + i] = "0123456789abcdef"[(value >> (60 - 4 * i)) & 0xF];
    buffer[18] = 0;
    writeText(fd, buffer);
}

void writeDecimal(int fd, long value) {
    char buffer[24];
    int i = 23;
    buffer[i] = 0;
    const bool negative = value < 0;
    unsigned long v = negative ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        buffer[--i] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v && i > 1);
    if (negative) buffer[--i] = '-';
    writeText(fd, buffer + i);
}

void copyFileContents(int source, int target) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(source, buffer, sizeof(buffer));
        if (n <= 0) return;
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = write(target, buffer + done, static_cast<size_t>(n - done));
            if (w <= 0) return;
            done += w;
        }
    }
}

const char* signalName(int sig) {
    switch (sig) {
        case SIGSEGV: return "SIGSEGV";
        case SIGBUS: return "SIGBUS";
        case SIGFPE: return "SIGFPE";
        case SIGILL: return "SIGILL";
        case SIGABRT: return "SIGABRT";
        default: return "?";
    }
}

void writeRegisters(int fd, void* context) {
#if defined(__x86_64__)
    static const char* const names[] = {"r8", "r9", "r10", "r11", "r12", "r13", "r14", "r15", "rdi", "rsi", "rbp", "rbx",
                                        "rdx", "rax", "rcx", "rsp", "rip", "efl", "csgsfs", "err", "trapno", "oldmask", "cr2"};
    const auto* uc = static_cast<const ucontext_t*>(context);
    writeText(fd, "Registers:\n");
    for (int i = 0; i < NGREG && i < static_cast<int>(sizeof(names) / sizeof(names[0])); ++i) {
        writeText(fd, "  ");
        writeText(fd, names[i]);
        writeText(fd, " = ");
        writeHex(fd, static_cast<uint64_t>(uc->uc_mcontext.gregs[i]));
        writeText(fd, "\n");
    }
#else
    (void)fd;
    (void)context;
#endif
}

void onCrash(int sig, siginfo_t* info, void* context) {
    // Never wait on a pipe put in place of a crash file.
    const int fd = open(dumpFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd >= 0) {
        writeText(fd, "Crash dump\nSignal: ");
        writeDecimal(fd, sig);
        writeText(fd, " (");
        writeText(fd, signalName(sig));
        writeText(fd, ")\nCode: ");
        writeDecimal(fd, info ? info->si_code : 0);
        writeText(fd, "\nAddress: ");
        writeHex(fd, info ? reinterpret_cast<uintptr_t>(info->si_addr) : 0);
        writeText(fd, "\nProcess: ");
        writeDecimal(fd, getpid());
        writeText(fd, "\n");
        if (context) writeRegisters(fd, context);
        writeText(fd, "Backtrace:\n");
        void* frames[64];
        const int n = backtrace(frames, 64);
        backtrace_symbols_fd(frames, n, fd);
        writeText(fd, "Memory map:\n");
        const int maps = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
        if (maps >= 0) {
            copyFileContents(maps, fd);
            close(maps);
        }
        close(fd);
    }
    if (logPathsValid && logFile[0] && crashLogFile[0]) {
        const int source = open(logFile, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (source >= 0) {
            const int target = open(crashLogFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0644);
            if (target >= 0) {
                copyFileContents(source, target);
                close(target);
            }
            close(source);
        }
    }
    // The handler was reset to the default: the signal now ends the process.
    raise(sig);
}

}  // namespace

void installCrashHandler(const std::string& dumpPath) {
    copyPath(dumpFile, dumpPath);
    // backtrace() loads its unwinder on first use; do that now, not inside the handler.
    void* frames[1];
    backtrace(frames, 1);
    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof(alternateStack);
    sigaltstack(&stack, nullptr);
    struct sigaction action {};
    action.sa_sigaction = onCrash;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals) sigaction(sig, &action, nullptr);
}

void setCrashLogPaths(const std::string& logPath, const std::string& crashLogPath) {
    logPathsValid = 0;
    copyPath(logFile, logPath);
    copyPath(crashLogFile, crashLogPath);
    logPathsValid = 1;
}

}  // namespace platform
