#pragma once
// Runs a check as "nobody" in a child process, so that tests started as root still meet the
// refusals an ordinary user meets; the child's result text comes back through a pipe.
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

inline std::string AsAnotherUser(const std::function<std::string()>& check) {
  int fds[2];
  if (::pipe(fds) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    constexpr uid_t kNobody = 65534;
    std::string text = "could not drop root";
    if (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0)
      text = check();
    [[maybe_unused]] ssize_t n = ::write(fds[1], text.data(), text.size());
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string text;
  char buffer[512];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<size_t>(n));
  ::close(fds[0]);
  ::waitpid(child, nullptr, 0);
  return text;
}
