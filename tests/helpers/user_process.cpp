#include "tests/helpers/user_process.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace testing_support {

namespace {

bool BecomeUser(uid_t uid, gid_t gid, const std::vector<gid_t>& groups) {
    return ::chdir("/") == 0 && ::setgroups(groups.size(), groups.data()) == 0 &&
           ::setresgid(gid, gid, gid) == 0 && ::setresuid(uid, uid, uid) == 0 && ::geteuid() == uid;
}

[[noreturn]] void RunChild(uid_t uid, gid_t gid, const std::vector<gid_t>& groups,
                           const std::function<std::string()>& body, int resultFd) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const std::string result =
        BecomeUser(uid, gid, groups) ? body() : "cannot become the test user";
    size_t done = 0;
    while (done < result.size()) {
        const ssize_t n = ::write(resultFd, result.data() + done, result.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    ::_exit(0);
}

// Reads the child's answer until it closes the pipe; false on timeout.
bool ReadAnswer(int fd, int timeoutSeconds, std::string* answer) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) == 0) {
            return false;
        }
        char chunk[1024];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return true;
        }
        answer->append(chunk, static_cast<size_t>(n));
    }
}

}  // namespace

std::string RunAsUser(uid_t uid, gid_t gid, const std::function<std::string()>& body,
                      int timeoutSeconds, const std::vector<gid_t>& groups) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return "cannot make a pipe";
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        RunChild(uid, gid, groups, body, fds[1]);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return "cannot fork";
    }
    std::string answer;
    const bool finished = ReadAnswer(fds[0], timeoutSeconds, &answer);
    ::close(fds[0]);
    if (!finished) {
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!finished) {
        return "the user's process did not finish in time";
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "the user's process died (status " + std::to_string(status) + ")" +
               (answer.empty() ? "" : ": " + answer);
    }
    return answer;
}

}  // namespace testing_support
