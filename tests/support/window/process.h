#ifndef HALTWICK_TESTS_SUPPORT_WINDOW_PROCESS_H
#define HALTWICK_TESTS_SUPPORT_WINDOW_PROCESS_H

#include <sys/types.h>

#include <string>
#include <vector>

namespace TestSupport {

// The command that starts the game at path: the path alone, or after the words of
// HALTWICK_LAUNCHER when that is set (Wine, for the Windows build).
std::vector<std::string> GameCommand(const std::string& path);

// A command (the built game, or the game under valgrind or taskset) in a session of its own
// without a terminal, stdin from /dev/null, stdout and stderr captured in files (the game never
// flushes, so they are read once it has exited), and with the signals in ignored ignored from
// its first instruction on, as nohup and a script's background jobs start a program. It dies
// with the test process, and the destructor kills what is left of it.
class GameProcess {
public:
    // Once Wait has returned true: the status it exited with (-1 when a signal ended it), and
    // the signal that ended it (0 when it exited). Apart, as _exit(128 + sig) is no death by sig.
    int ExitCode = -1;
    int EndSignal = 0;

    // An empty display runs it with no DISPLAY at all.
    GameProcess(const std::vector<std::string>& argv, const std::string& display,
                const std::vector<int>& ignored = {});
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    bool Wait(int timeoutMs);
    // Sends sig to the game alone, as a desktop session or a terminal does.
    void Signal(int sig);
    // Processor time the game has used so far, in seconds: all its threads, user and system.
    double CpuSeconds() const;
    // For messages: "status N", "signal N (its name)", or "still running".
    std::string Ending();
    bool Running() { return Pid > 0 && !Wait(0); }
    std::string Output() const;
    std::string Errors() const;

private:
    pid_t Pid = -1;
    bool Ended = false;
    std::string OutPath, ErrPath;
};

}  // namespace TestSupport

#endif
