#include "serial/ExactBaudRate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

bool SetExactBaudRate(int fd, uint32_t rate) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return false;
  tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  tio.c_ispeed = rate;
  tio.c_ospeed = rate;
  return ioctl(fd, TCSETS2, &tio) == 0;
}

bool GetExactBaudRate(int fd, uint32_t& inRate, uint32_t& outRate) {
  struct termios2 tio {};
  if (ioctl(fd, TCGETS2, &tio) != 0) return false;
  inRate = tio.c_ispeed;
  outRate = tio.c_ospeed;
  return true;
}
