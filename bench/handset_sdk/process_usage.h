#pragma once
// CPU time and memory of this process and its threads.
#include <sys/types.h>

#include <string>

namespace handset_bench {

// User plus system time of the whole process (getrusage), seconds.
double ProcessCpuSeconds();
// Time one thread of this process has run (its schedstat), seconds; -1 when unknown.
double ThreadCpuSeconds(pid_t tid);
// Time that thread was ready to run but waited for a CPU, seconds; -1 when unknown.
double ThreadRunQueueSeconds(pid_t tid);
// User plus system time of another process (an X server we started), seconds; -1 when unknown.
double OtherProcessCpuSeconds(pid_t pid);
// The thread of this process with that name (its comm), 0 when none.
pid_t ThreadNamed(const std::string& name);
// VmRSS of the process, MiB; -1 when unknown.
double ResidentMiB();

}  // namespace handset_bench
