#pragma once
// Runs the built qm48ctl in a test folder and collects what it said.
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "support/TempDir.h"

struct CtlResult {
  int code = -1;  // exit code, -1 when it did not exit normally
  std::string out;
  std::string err;
};

// "qm48ctl <arguments>" with dir as the current directory (arguments go through the shell).
inline CtlResult RunCtl(const std::string& arguments, const TempDir& dir) {
  const std::string errFile = dir.File("stderr.txt");
  const std::string command =
      "cd '" + dir.Path() + "' && '" QM48_CTL_PATH "' " + arguments + " 2>'" + errFile + "'";
  CtlResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.out.append(buffer, n);
  const int status = ::pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = ReadAll(errFile);
  return result;
}
