#pragma once
// A unit of our own on a pseudo-terminal: a thread reads the master side, cuts the bytes
// into commands as the unit does, acts on them and answers each with one reply line.
// Controllers open DevicePath() (or the link) like any serial device, and may close and
// reopen it while the unit runs. All accessors are safe from any thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/UniqueFd.h"
#include "unit/UnitFaults.h"
#include "unit/UnitLimits.h"
#include "unit/UnitState.h"

struct VirtualUnitOptions {
  std::string linkPath;   // made a symbolic link to the device when not empty
  std::string stateFile;  // state text written after every "S" and at Stop when not empty
  FaultMode fault;
  uint32_t lineRate = 0;        // bits per second of the simulated line (10 bits a byte); 0: none
  uint32_t replyLatencyMs = 0;  // each reply held back this long, as a USB adapter's latency
                                // timer holds received bytes; 0: none
  std::string bitstreamPath;    // the PCM output is written here at every encoder start
  int64_t bitstreamFrames = 0;  // minor frames per stream; 0: four major frames
  std::string ch10Path;         // a Chapter 10 recording is written here at every start
  UnitLimits limits;
};

class UnitProtocol;
class UnitBitstreamWriter;

class VirtualUnit {
 public:
  explicit VirtualUnit(VirtualUnitOptions options = {});
  ~VirtualUnit();  // Stop()
  VirtualUnit(const VirtualUnit&) = delete;
  VirtualUnit& operator=(const VirtualUnit&) = delete;

  // Opens the pseudo-terminal, makes the link and starts the thread. False with the
  // system's reason when any of it fails (nothing is left open then).
  bool Start(std::string* error = nullptr);
  // Ends the thread, closes the pseudo-terminal, removes the link and writes the state
  // file. Safe to call twice.
  void Stop();

  const std::string& DevicePath() const { return devicePath_; }
  // True once a vanish-after fault has closed the pseudo-terminal.
  bool Vanished() const { return vanished_.load(); }
  // The fault takes effect from the next reply (a counted fault counts from the start).
  void SetFault(const FaultMode& fault);
  FaultMode Fault() const;

  uint16_t MemoryWord(uint32_t address) const;
  uint16_t Register(int reg) const;  // simulator register 0..2
  uint32_t ClockValue() const;
  int FormatNumber() const;
  std::string FormatName(int format) const;  // the eight bytes as received
  uint16_t TxRegister(int reg) const;        // transmitter register 0..3
  bool Running() const;
  uint64_t CommandCount() const;
  uint64_t FlashSaveCount() const;
  UnitState State() const;  // a copy of everything
  // Every command received, in order (only the latest kKeptCommands in a long run).
  std::vector<std::string> Commands() const;
  static constexpr size_t kKeptCommands = 1 << 20;
  // Waits until at least `count` commands were received; false on time-out.
  bool WaitForCommands(uint64_t count, std::chrono::milliseconds timeout) const;
  // How often the port was left as a real port is once its last controller closed it
  // (unread replies dropped, exclusive mode off), and a wait for the next of those.
  uint64_t ReleaseCount() const;
  bool WaitForReleases(uint64_t count, std::chrono::milliseconds timeout) const;
  // The PCM output writer when a bit stream path was given, else null; valid until Stop.
  const UnitBitstreamWriter* Bitstream() const { return bitstream_.get(); }
  // The Chapter 10 recorder when a path was given, else null; valid until Stop.
  const UnitBitstreamWriter* Ch10() const { return ch10_.get(); }
  // Writes the state text now (also done after "S" and at Stop).
  bool WriteState(std::string* error = nullptr) const;

 private:
  void Run();
  void HandleByte(uint8_t byte);
  void Answer(const std::string& command, const std::string& reply);
  void AnswerBesideSecondWriter(uint64_t index, const std::string& line);
  bool WriteOut(const std::string& bytes);
  bool WriteAll(const char* bytes, size_t count);
  // Sleeps until the deadline; false when Stop came first.
  bool SleepUntil(std::chrono::steady_clock::time_point deadline);
  std::chrono::steady_clock::time_point ByteDone(std::chrono::steady_clock::time_point& lineFree);
  bool MakeLink(std::string& error);
  void RemoveLink();
  void ReleaseIfUnused();
  void CloseDevice();

  VirtualUnitOptions options_;
  std::unique_ptr<UnitProtocol> protocol_;          // guarded by mutex_
  std::unique_ptr<UnitBitstreamWriter> bitstream_;  // made in Start, ended in Stop
  std::unique_ptr<UnitBitstreamWriter> ch10_;       // likewise
  std::vector<std::string> commands_;               // guarded by mutex_
  uint64_t releases_ = 0;                           // guarded by mutex_
  mutable std::mutex mutex_;
  mutable std::condition_variable stateChanged_;  // a command arrived or the port was released

  std::string devicePath_;
  UniqueFd master_;
  UniqueFd heldSlave_;   // keeps the master readable while no controller has the port open
  UniqueFd closeWatch_;  // inotify: a controller closed the device
  UniqueFd wakeRead_;    // Stop wakes the thread through this pipe
  UniqueFd wakeWrite_;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> vanished_{false};
  uint64_t exchanges_ = 0;                              // thread only: commands taken so far
  std::mt19937 random_{std::random_device{}()};         // thread only: garbage replies
  std::chrono::steady_clock::time_point rxLineFree_{};  // thread only: line-rate schedule
  std::chrono::steady_clock::time_point txLineFree_{};
};
