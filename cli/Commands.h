#pragma once

#include "cli/CommandLine.h"

// The commands of skimbler-cli. Each returns the exit code; results go to
// standard output or to files, one line per failed file to standard error.
int RunRender(const Invocation &invocation);
int RunCheck(const Invocation &invocation);
int RunInfo(const Invocation &invocation);
int RunCode(const Invocation &invocation);
int RunExport(const Invocation &invocation);
