#pragma once

// One run of the real program in a program folder of its own: a copy of the
// executable beside a fresh "_.udb" (made by mkudb) holding generated records,
// its own HOME and runtime folder, on the X display named by DISPLAY.

#include <string>

#include <sys/types.h>

namespace bench {

class ProgramRun {
public:
    ProgramRun(const std::string& program, const std::string& mkudb, const std::string& folder, int records,
               const std::string& databaseKey);
    ~ProgramRun(); // ends the program
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    void Start();
    std::string DatabasePath() const { return folder_ + "/_.udb"; }
    // The program's resident memory in bytes (VmRSS).
    long long ResidentBytes() const;
    // Processor time the program's main thread has used, in milliseconds.
    double CpuMilliseconds() const;

private:
    std::string program_;
    std::string folder_;
    pid_t pid_ = -1;
};

} // namespace bench
