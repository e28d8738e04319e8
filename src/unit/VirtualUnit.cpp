#include "unit/VirtualUnit.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/SystemErrorText.h"
#include "unit/UnitBitstream.h"
#include "unit/UnitProtocol.h"
#include "unit/UnitStateText.h"

using Clock = std::chrono::steady_clock;

namespace {

// How many descriptors of any process we can see have the device open, not counting
// `ownFd` of this process.
int OpenCount(const std::string& device, int ownFd) {
  int count = 0;
  const std::string self = std::to_string(::getpid());
  DIR* proc = ::opendir("/proc");
  if (!proc) return -1;
  while (dirent* p = ::readdir(proc)) {
    if (p->d_name[0] < '0' || p->d_name[0] > '9') continue;
    std::string fdDir = std::string("/proc/") + p->d_name + "/fd";
    DIR* fds = ::opendir(fdDir.c_str());
    if (!fds) continue;
    while (dirent* f = ::readdir(fds)) {
      if (f->d_name[0] == '.') continue;
      if (self == p->d_name && std::atoi(f->d_name) == ownFd) continue;
      char target[PATH_MAX];
      ssize_t n = ::readlink((fdDir + "/" + f->d_name).c_str(), target, sizeof target);
      if (n > 0 && device.compare(0, std::string::npos, target, static_cast<size_t>(n)) == 0)
        ++count;
    }
    ::closedir(fds);
  }
  ::closedir(proc);
  return count;
}

// The first `count` values of a reply, each with the space after it: a unit that stops
// part way through its answer.
std::string FirstValues(const std::string& reply, uint64_t count) {
  size_t end = 0;
  for (uint64_t k = 0; k < count && end < reply.size(); ++k) {
    const size_t space = reply.find(' ', end);
    end = space == std::string::npos ? reply.size() : space + 1;
  }
  return reply.substr(0, end);
}

}  // namespace

VirtualUnit::VirtualUnit(VirtualUnitOptions options)
    : options_(std::move(options)), protocol_(std::make_unique<UnitProtocol>(options_.limits)) {}

VirtualUnit::~VirtualUnit() {
  Stop();
}

bool VirtualUnit::Start(std::string* error) {
  std::string reason;
  auto fail = [&](const std::string& what, int code) {
    reason = what + ": " + SystemErrorText(code);
    CloseDevice();
    if (error) *error = reason;
    return false;
  };
  if (thread_.joinable()) {
    if (error) *error = "the unit is already running";
    return false;
  }
  master_.Reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!master_) return fail("posix_openpt", errno);
  if (::grantpt(master_.Get()) != 0 || ::unlockpt(master_.Get()) != 0)
    return fail("grantpt/unlockpt", errno);
  char name[PATH_MAX];
  if (::ptsname_r(master_.Get(), name, sizeof name) != 0) return fail("ptsname", errno);
  devicePath_ = name;
  // Our own slave descriptor keeps the master from reading EIO while no controller has
  // the port open, so controllers may come and go.
  heldSlave_.Reset(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!heldSlave_) return fail(devicePath_, errno);
  termios tio{};
  if (::tcgetattr(heldSlave_.Get(), &tio) != 0) return fail("tcgetattr", errno);
  ::cfmakeraw(&tio);
  if (::tcsetattr(heldSlave_.Get(), TCSANOW, &tio) != 0) return fail("tcsetattr", errno);
  // Closes of the device are watched so that the port is left as a real one would be
  // once its last user is gone (see ReleaseIfUnused).
  closeWatch_.Reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!closeWatch_) return fail("inotify_init1", errno);
  if (::inotify_add_watch(closeWatch_.Get(), name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0)
    return fail("inotify_add_watch", errno);
  if (::fcntl(master_.Get(), F_SETFL, ::fcntl(master_.Get(), F_GETFL) | O_NONBLOCK) != 0)
    return fail("fcntl", errno);
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return fail("pipe", errno);
  wakeRead_.Reset(wake[0]);
  wakeWrite_.Reset(wake[1]);
  if (!options_.linkPath.empty() && !MakeLink(reason)) {
    CloseDevice();
    if (error) *error = reason;
    return false;
  }
  stopping_ = false;
  vanished_ = false;
  if (!options_.bitstreamPath.empty())
    bitstream_ =
        std::make_unique<UnitBitstreamWriter>(options_.bitstreamPath, options_.bitstreamFrames);
  if (!options_.ch10Path.empty())
    ch10_ = std::make_unique<UnitBitstreamWriter>(options_.ch10Path, options_.bitstreamFrames,
                                                  UnitStreamKind::Ch10);
  thread_ = std::thread(&VirtualUnit::Run, this);
  return true;
}

// The link is made beside its final name and renamed over it, so a controller never
// sees a half-made link; anything there that is not a link is left alone.
bool VirtualUnit::MakeLink(std::string& error) {
  const std::string& link = options_.linkPath;
  struct stat st {};
  if (::lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    error = link + ": exists and is not a symbolic link";
    return false;
  }
  std::string temp = link + ".tmp" + std::to_string(::getpid());
  ::unlink(temp.c_str());
  if (::symlink(devicePath_.c_str(), temp.c_str()) != 0) {
    error = link + ": " + SystemErrorText(errno);
    return false;
  }
  if (::rename(temp.c_str(), link.c_str()) != 0) {
    error = link + ": " + SystemErrorText(errno);
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

void VirtualUnit::Stop() {
  if (thread_.joinable()) {
    stopping_ = true;
    char wake = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeWrite_.Get(), &wake, 1);
    thread_.join();
    bitstream_.reset();  // an unfinished stream is abandoned
    ch10_.reset();
    RemoveLink();
    if (!options_.stateFile.empty()) WriteState();
  }
  CloseDevice();
}

// The link is removed only while it still names our device.
void VirtualUnit::RemoveLink() {
  if (options_.linkPath.empty()) return;
  char target[PATH_MAX];
  ssize_t length = ::readlink(options_.linkPath.c_str(), target, sizeof target - 1);
  if (length > 0 && std::string(target, static_cast<size_t>(length)) == devicePath_)
    ::unlink(options_.linkPath.c_str());
}

void VirtualUnit::CloseDevice() {
  master_.Reset();
  heldSlave_.Reset();
  closeWatch_.Reset();
  wakeRead_.Reset();
  wakeWrite_.Reset();
}

void VirtualUnit::Run() {
  // Byte times at high line rates are well below the default 50 us timer slack.
  if (options_.lineRate > 0) ::prctl(PR_SET_TIMERSLACK, 1UL);
  uint8_t bytes[4096];
  while (!stopping_ && !vanished_) {
    pollfd fds[3] = {
        {master_.Get(), POLLIN, 0}, {wakeRead_.Get(), POLLIN, 0}, {closeWatch_.Get(), POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents != 0) break;
    if (fds[2].revents != 0 && !(fds[0].revents & POLLIN)) {
      // Only once the controller's last bytes are answered.
      char events[4096];
      while (::read(closeWatch_.Get(), events, sizeof events) > 0) {
      }
      ReleaseIfUnused();
      continue;
    }
    if (fds[0].revents & (POLLERR | POLLNVAL)) break;
    if (fds[0].revents & POLLHUP && !(fds[0].revents & POLLIN)) {
      // Only without our own slave descriptor; wait for a controller to open the port.
      SleepUntil(Clock::now() + std::chrono::milliseconds(20));
      continue;
    }
    ssize_t n = ::read(master_.Get(), bytes, sizeof bytes);
    if (n < 0 && (errno == EAGAIN || errno == EINTR || errno == EIO)) continue;
    if (n <= 0) break;
    Clock::time_point arrived = Clock::now();
    for (ssize_t i = 0; i < n && !stopping_ && !vanished_; ++i) {
      if (options_.lineRate > 0) {
        if (rxLineFree_ < arrived) rxLineFree_ = arrived;
        if (!SleepUntil(ByteDone(rxLineFree_))) break;
      }
      HandleByte(bytes[i]);
    }
  }
}

// A real port drops what arrives while nobody has it open, and its exclusive mode ends
// with its last user. A pseudo-terminal keeps both while its master lives, so the unit
// drops unread replies and clears exclusive mode itself: otherwise a controller that
// opened the port exclusively could never open it again.
void VirtualUnit::ReleaseIfUnused() {
  if (OpenCount(devicePath_, heldSlave_.Get()) != 0) return;
  ::tcflush(heldSlave_.Get(), TCIFLUSH);
  ::ioctl(heldSlave_.Get(), TIOCNXCL);
  std::lock_guard lock(mutex_);
  ++releases_;
  stateChanged_.notify_all();
}

// When a byte that starts on the line at `lineFree` (or later) is fully across.
Clock::time_point VirtualUnit::ByteDone(Clock::time_point& lineFree) {
  auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / options_.lineRate);
  lineFree += std::chrono::duration_cast<Clock::duration>(byteTime);
  return lineFree;
}

void VirtualUnit::HandleByte(uint8_t byte) {
  std::vector<UnitProtocol::Exchange> exchanges;
  bool saved = false;
  {
    std::lock_guard lock(mutex_);
    uint64_t saves = protocol_->State().flashSaves;
    const bool wasRunning = protocol_->State().running;
    exchanges = protocol_->Feed(&byte, 1);
    saved = protocol_->State().flashSaves != saves;
    const bool running = protocol_->State().running;
    if (bitstream_ && running && !wasRunning) bitstream_->EncoderStarted(protocol_->State().sim);
    if (bitstream_ && !running && wasRunning) bitstream_->EncoderStopped();
    if (ch10_ && running && !wasRunning) ch10_->EncoderStarted(protocol_->State().sim);
    if (ch10_ && !running && wasRunning) ch10_->EncoderStopped();
    for (const auto& e : exchanges) commands_.push_back(e.command);
    if (commands_.size() > 2 * kKeptCommands)
      commands_.erase(commands_.begin(), commands_.end() - kKeptCommands);
  }
  if (exchanges.empty()) return;
  stateChanged_.notify_all();
  if (saved && !options_.stateFile.empty()) WriteState();
  for (const auto& e : exchanges) Answer(e.command, e.reply);
}

void VirtualUnit::Answer(const std::string& command, const std::string& reply) {
  uint64_t index = exchanges_++;
  const FaultMode fault = Fault();
  std::string line = reply + "\r";
  switch (fault.kind) {
    case FaultKind::None:
      break;
    case FaultKind::Silent:
      return;
    case FaultKind::SilentAfter:
      if (index >= fault.count) return;
      break;
    case FaultKind::Garbage: {
      std::uniform_int_distribution<int> length(1, 32), value(0, 255);
      line.clear();
      for (int i = length(random_); i > 0; --i) {
        int byte = value(random_);
        line.push_back(static_cast<char>(byte == '\r' ? '?' : byte));
      }
      line.push_back('\r');
      break;
    }
    case FaultKind::DoubleCr:
      line += "\r";
      break;
    case FaultKind::StrayCr:
      // An empty line first, then the reply once the controller has surely woken to it.
      if (!WriteOut("\r") || !SleepUntil(Clock::now() + std::chrono::milliseconds(20))) return;
      break;
    case FaultKind::Slow:
      if (!SleepUntil(Clock::now() + std::chrono::milliseconds(fault.count))) return;
      break;
    case FaultKind::VanishAfter:
      if (index >= fault.count) {
        // Gone mid-load: the device's name goes, as an adapter's does, and the controller
        // sees its port hang up. A link left behind would name a terminal number the
        // system may give the next process that asks for one.
        vanished_ = true;
        RemoveLink();
        master_.Reset();
        heldSlave_.Reset();
        return;
      }
      break;
    case FaultKind::Echo:
      line = command + line;
      break;
    case FaultKind::SecondWriter:
      return AnswerBesideSecondWriter(index, line);
    case FaultKind::ShortReply:
      line = FirstValues(reply, fault.count) + "\r";
      break;
  }
  if (options_.replyLatencyMs > 0 &&
      !SleepUntil(Clock::now() + std::chrono::milliseconds(options_.replyLatencyMs)))
    return;
  WriteOut(line);
}

// Another device on the same line talks when it likes: before every other reply a line
// of its own a moment ahead of the unit's, after the rest a line at a random moment
// just after it. Its text holds hex-like words, as a careless reader would take them.
void VirtualUnit::AnswerBesideSecondWriter(uint64_t index, const std::string& line) {
  static const char* kStray = "STATION 2 ONLINE 0BAD \r";
  if (index % 2 == 0) {
    if (!WriteOut(kStray) || !SleepUntil(Clock::now() + std::chrono::milliseconds(5))) return;
    WriteOut(line);
    return;
  }
  if (!WriteOut(line)) return;
  std::uniform_int_distribution<int> delayUs(0, 4000);
  if (SleepUntil(Clock::now() + std::chrono::microseconds(delayUs(random_)))) WriteOut(kStray);
}

bool VirtualUnit::WriteOut(const std::string& bytes) {
  if (options_.lineRate == 0) return WriteAll(bytes.data(), bytes.size());
  // The bytes follow each other on the line without gaps, however late each wake-up is.
  Clock::time_point now = Clock::now();
  if (txLineFree_ < now) txLineFree_ = now;
  for (char byte : bytes) {
    // The byte reaches the other end once all its bits are across.
    if (!SleepUntil(ByteDone(txLineFree_)) || !WriteAll(&byte, 1)) return false;
  }
  return true;
}

bool VirtualUnit::WriteAll(const char* bytes, size_t count) {
  while (count > 0 && !stopping_) {
    ssize_t n = ::write(master_.Get(), bytes, count);
    if (n > 0) {
      bytes += n;
      count -= static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    // The controller is not reading: wait for room, or for Stop.
    pollfd fds[2] = {{master_.Get(), POLLOUT, 0}, {wakeRead_.Get(), POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) return false;
    if (fds[1].revents != 0 || fds[0].revents & (POLLERR | POLLNVAL)) return false;
  }
  return count == 0;
}

bool VirtualUnit::SleepUntil(Clock::time_point deadline) {
  for (;;) {
    if (stopping_) return false;
    auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return true;
    // Short waits sleep precisely; long ones wait on the wake pipe so Stop is prompt.
    if (left < std::chrono::milliseconds(2)) {
      std::this_thread::sleep_until(deadline);
      return !stopping_;
    }
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(left).count() - 1;
    pollfd fd{wakeRead_.Get(), POLLIN, 0};
    ::poll(&fd, 1, static_cast<int>(ms > 1000 ? 1000 : ms));
  }
}

void VirtualUnit::SetFault(const FaultMode& fault) {
  std::lock_guard lock(mutex_);
  options_.fault = fault;
}

FaultMode VirtualUnit::Fault() const {
  std::lock_guard lock(mutex_);
  return options_.fault;
}

uint16_t VirtualUnit::MemoryWord(uint32_t address) const {
  std::lock_guard lock(mutex_);
  return address < kUnitMemoryWords ? protocol_->State().sim.memory[address] : 0;
}

uint16_t VirtualUnit::Register(int reg) const {
  std::lock_guard lock(mutex_);
  return reg >= 0 && reg < kUnitSimRegisters ? protocol_->State().sim.registers[reg] : 0;
}

uint32_t VirtualUnit::ClockValue() const {
  std::lock_guard lock(mutex_);
  return protocol_->State().sim.clock;
}

int VirtualUnit::FormatNumber() const {
  std::lock_guard lock(mutex_);
  return protocol_->State().sim.formatNumber;
}

std::string VirtualUnit::FormatName(int format) const {
  std::lock_guard lock(mutex_);
  return format >= 0 && format < kUnitFormats ? protocol_->State().sim.formatNames[format]
                                              : std::string();
}

uint16_t VirtualUnit::TxRegister(int reg) const {
  std::lock_guard lock(mutex_);
  return reg >= 0 && reg < kUnitTxRegisters ? protocol_->State().tx[reg] : 0;
}

bool VirtualUnit::Running() const {
  std::lock_guard lock(mutex_);
  return protocol_->State().running;
}

uint64_t VirtualUnit::CommandCount() const {
  std::lock_guard lock(mutex_);
  return protocol_->State().commandCount;
}

uint64_t VirtualUnit::FlashSaveCount() const {
  std::lock_guard lock(mutex_);
  return protocol_->State().flashSaves;
}

UnitState VirtualUnit::State() const {
  std::lock_guard lock(mutex_);
  return protocol_->State();
}

std::vector<std::string> VirtualUnit::Commands() const {
  std::lock_guard lock(mutex_);
  if (commands_.size() > kKeptCommands)
    return std::vector<std::string>(commands_.end() - kKeptCommands, commands_.end());
  return commands_;
}

bool VirtualUnit::WaitForCommands(uint64_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return stateChanged_.wait_for(lock, timeout,
                                [&] { return protocol_->State().commandCount >= count; });
}

uint64_t VirtualUnit::ReleaseCount() const {
  std::lock_guard lock(mutex_);
  return releases_;
}

bool VirtualUnit::WaitForReleases(uint64_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return stateChanged_.wait_for(lock, timeout, [&] { return releases_ >= count; });
}

bool VirtualUnit::WriteState(std::string* error) const {
  std::string reason;
  if (options_.stateFile.empty()) {
    reason = "no state file was given";
  } else if (WriteUnitStateFile(options_.stateFile, State(), reason)) {
    return true;
  }
  if (error) *error = reason;
  return false;
}
