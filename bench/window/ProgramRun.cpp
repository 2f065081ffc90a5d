#include "ProgramRun.h"

#include "Anchor.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {
namespace {

namespace fs = std::filesystem;

void RunToEnd(const std::string& tool, const std::string& argument)
{
    const pid_t child = fork();
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        execl(tool.c_str(), tool.c_str(), argument.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(tool + " " + argument + " failed");
}

} // namespace

ProgramRun::ProgramRun(const std::string& program, const std::string& mkudb, const std::string& folder,
                       int records, const std::string& databaseKey)
    : folder_(folder)
{
    fs::remove_all(folder);
    fs::create_directories(folder + "/home");
    fs::create_directories(folder + "/runtime");
    fs::permissions(folder + "/runtime", fs::perms::owner_all, fs::perm_options::replace);
    program_ = folder + "/Kestrelle";
    fs::copy_file(program, program_);
    RunToEnd(mkudb, folder);
    Anchor(DatabasePath(), databaseKey).AddRecords(records);
}

ProgramRun::~ProgramRun()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    int status = 0;
    for (int tries = 0; tries < 50 && waitpid(pid_, &status, WNOHANG) == 0; ++tries)
        usleep(100'000);
    if (waitpid(pid_, &status, WNOHANG) == 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
}

void ProgramRun::Start()
{
    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("cannot start the program");
    if (pid_ == 0) {
        if (chdir(folder_.c_str()) != 0)
            _exit(127);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        setenv("HOME", (folder_ + "/home").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (folder_ + "/runtime").c_str(), 1);
        const int log = open((folder_ + "/program.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        execl(program_.c_str(), program_.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

long long ProgramRun::ResidentBytes() const
{
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string field;
    while (status >> field) {
        if (field == "VmRSS:") {
            long long kilobytes = 0;
            status >> kilobytes;
            return kilobytes * 1024;
        }
    }
    return -1;
}

} // namespace bench

namespace bench {

double ProgramRun::CpuMilliseconds() const
{
    // The first field is the nanoseconds spent running.
    std::ifstream schedstat("/proc/" + std::to_string(pid_) + "/schedstat");
    long long nanoseconds = 0;
    schedstat >> nanoseconds;
    return static_cast<double>(nanoseconds) / 1e6;
}

} // namespace bench
