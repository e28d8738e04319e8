#pragma once
// The PC information report written to the log at start-up: disks, processor, operating
// system and memory. The parsers take the text of the system files, so they can be fed
// any text; GatherPcInfo reads the real ones.
#include <cstdint>
#include <string>
#include <vector>

struct DiskInfo {
  std::string path;  // the directory asked about
  bool known = false;
  uint64_t sizeBytes = 0;
  uint64_t freeBytes = 0;  // free to an ordinary user
};

struct CpuInfo {
  std::string model;  // empty when the text names none
  int count = 0;      // processors listed
};

struct MemoryInfo {
  bool hasTotal = false;
  bool hasAvailable = false;
  uint64_t totalKb = 0;
  uint64_t availableKb = 0;
};

struct OsInfo {
  std::string prettyName;  // the distribution's own name, empty when unknown
  std::string sysname, release, version, machine;
};

struct PcInfo {
  std::vector<DiskInfo> disks;
  CpuInfo cpu;
  OsInfo os;
  MemoryInfo memory;
};

// The model name and processor count of a /proc/cpuinfo text.
CpuInfo ParseCpuInfo(const std::string& text);
// MemTotal and MemAvailable of a /proc/meminfo text.
MemoryInfo ParseMemInfo(const std::string& text);
// PRETTY_NAME of an os-release text, unquoted; empty when absent.
std::string ParseOsReleaseName(const std::string& text);

// "1.5 GiB", "512.0 MiB", "900 bytes".
std::string ByteSizeText(uint64_t bytes);

// Reads the system: the file systems of startDirectory and of "/" (once when they are the
// same), /proc/cpuinfo, uname, os-release and /proc/meminfo.
PcInfo GatherPcInfo(const std::string& startDirectory);
// The report's lines, section by section.
std::vector<std::string> PcInfoLines(const PcInfo& info);
// GatherPcInfo and PcInfoLines in one.
std::vector<std::string> PcInfoReport(const std::string& startDirectory);
