#pragma once
// Runs the built qm48ctl in a test folder and collects what it said.
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/TempDir.h"

struct CtlResult {
  int code = -1;  // exit code, -1 when it did not exit normally
  std::string out;
  std::string err;
};

// "qm48ctl <arguments>" with dir as the current directory (arguments go through the shell).
inline CtlResult RunCtl(const std::string& arguments, const TempDir& dir) {
  const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
  const std::string command = "cd '" + dir.Path() + "' && '" QM48_CTL_PATH "' " + arguments +
                              " >'" + out + "' 2>'" + err + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
}
