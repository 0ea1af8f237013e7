#include "tests/support/window/process.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tests/support/window/window.h"

namespace TestSupport {

namespace {

std::string TempFile() {
    char name[] = "/tmp/haltwick-game-XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0)
        close(fd);
    return name;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

std::vector<std::string> GameCommand(const std::string& path) {
    std::vector<std::string> argv;
    if (const char* launcher = std::getenv("HALTWICK_LAUNCHER")) {
        std::istringstream words(launcher);
        for (std::string w; words >> w;)
            argv.push_back(w);
    }
    argv.push_back(path);
    return argv;
}

GameProcess::GameProcess(const std::vector<std::string>& argv, const std::string& display,
                         const std::vector<int>& ignored)
    : OutPath(TempFile()), ErrPath(TempFile()) {
    // Every signal held back across the fork: one sent right after it must find the child's
    // own actions below, not this process's handlers.
    sigset_t all, was;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &was);
    Pid = fork();
    if (Pid != 0) {
        pthread_sigmask(SIG_SETMASK, &was, nullptr);
        return;
    }
    // As a shell starts a program: every signal at its default action, but those asked ignored.
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig)
        sigaction(sig, &action, nullptr);
    action.sa_handler = SIG_IGN;
    for (int sig : ignored)
        sigaction(sig, &action, nullptr);
    sigprocmask(SIG_SETMASK, &was, nullptr);
    // A new session without a terminal, so the library cannot fall back to a console; killed
    // with the test process so no game outlives a crashed or timed-out test.
    setsid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    int in = open("/dev/null", O_RDONLY);
    int out = open(OutPath.c_str(), O_WRONLY | O_TRUNC);
    int err = open(ErrPath.c_str(), O_WRONLY | O_TRUNC);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (display.empty())
        unsetenv("DISPLAY");
    else
        setenv("DISPLAY", display.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

GameProcess::~GameProcess() {
    if (Running()) {
        kill(-Pid, SIGKILL);
        waitpid(Pid, nullptr, 0);
    }
    unlink(OutPath.c_str());
    unlink(ErrPath.c_str());
}

bool GameProcess::Wait(int timeoutMs) {
    double end = NowMs() + timeoutMs;
    while (!Ended) {
        int status;
        if (waitpid(Pid, &status, WNOHANG) == Pid) {
            Ended = true;
            if (WIFEXITED(status))
                ExitCode = WEXITSTATUS(status);
            else
                EndSignal = WTERMSIG(status);
        } else if (NowMs() >= end)
            return false;
        else
            SleepMs(5);
    }
    return true;
}

void GameProcess::Signal(int sig) {
    if (Pid > 0)
        kill(Pid, sig);
}

double GameProcess::CpuSeconds() const {
    // Fields 14 and 15 of /proc/PID/stat, after the parenthesised command name.
    std::string stat = Slurp("/proc/" + std::to_string(Pid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int i = 3; i <= 13; ++i)
        fields >> field;
    fields >> user >> system;
    return double(user + system) / sysconf(_SC_CLK_TCK);
}

std::string GameProcess::Ending() {
    if (!Wait(0))
        return "still running";
    if (EndSignal)
        return "signal " + std::to_string(EndSignal) + " (" + strsignal(EndSignal) + ")";
    return "status " + std::to_string(ExitCode);
}

std::string GameProcess::Output() const { return Slurp(OutPath); }
std::string GameProcess::Errors() const { return Slurp(ErrPath); }

}  // namespace TestSupport
