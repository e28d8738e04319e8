#include "app/PcInfoReport.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

constexpr size_t kMaxFileBytes = 4 << 20;  // cpuinfo of a large machine stays well below

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// Splits "key <sep> value" lines; false for a line without the separator.
bool SplitLine(const std::string& line, char separator, std::string& key, std::string& value) {
  size_t at = line.find(separator);
  if (at == std::string::npos) return false;
  key = Trim(line.substr(0, at));
  value = Trim(line.substr(at + 1));
  return true;
}

// The leading decimal number of "16314228 kB" in kB; false without digits or on overflow.
bool ParseKb(const std::string& value, uint64_t& kb) {
  size_t i = 0;
  uint64_t n = 0;
  while (i < value.size() && value[i] >= '0' && value[i] <= '9') {
    uint64_t digit = static_cast<uint64_t>(value[i] - '0');
    if (n > (UINT64_MAX - digit) / 10) return false;
    n = n * 10 + digit;
    ++i;
  }
  if (i == 0) return false;
  // The kernel writes kB; a bare number would be bytes.
  if (Trim(value.substr(i)).empty()) n /= 1024;
  kb = n;
  return true;
}

// os-release values may be quoted and may escape \ " $ ` inside double quotes.
std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    std::string inner = value.substr(1, value.size() - 2);
    if (value.front() == '\'') return inner;
    std::string out;
    for (size_t i = 0; i < inner.size(); ++i) {
      if (inner[i] == '\\' && i + 1 < inner.size()) ++i;
      out += inner[i];
    }
    return out;
  }
  return value;
}

bool ReadSmallFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string data(kMaxFileBytes, '\0');
  in.read(data.data(), static_cast<std::streamsize>(data.size()));
  data.resize(static_cast<size_t>(in.gcount()));
  text = std::move(data);
  return true;
}

DiskInfo StatDisk(const std::string& path) {
  DiskInfo disk;
  disk.path = path;
  struct statvfs fs {};
  if (::statvfs(path.c_str(), &fs) == 0) {
    disk.known = true;
    disk.sizeBytes = static_cast<uint64_t>(fs.f_blocks) * fs.f_frsize;
    disk.freeBytes = static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
  }
  return disk;
}

bool SameFileSystem(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

}  // namespace

CpuInfo ParseCpuInfo(const std::string& text) {
  CpuInfo cpu;
  // Processors without a "model name" line name themselves under other keys.
  std::string fallback;
  std::istringstream lines(text);
  std::string line, key, value;
  while (std::getline(lines, line)) {
    if (!SplitLine(line, ':', key, value)) continue;
    if (key == "processor") {
      ++cpu.count;
    } else if (key == "model name") {
      if (cpu.model.empty()) cpu.model = value;
    } else if (key == "Processor" || key == "cpu model" || key == "cpu" || key == "Hardware") {
      if (fallback.empty()) fallback = value;
    }
  }
  if (cpu.model.empty()) cpu.model = fallback;
  return cpu;
}

MemoryInfo ParseMemInfo(const std::string& text) {
  MemoryInfo mem;
  std::istringstream lines(text);
  std::string line, key, value;
  while (std::getline(lines, line)) {
    if (!SplitLine(line, ':', key, value)) continue;
    if (key == "MemTotal" && !mem.hasTotal) mem.hasTotal = ParseKb(value, mem.totalKb);
    if (key == "MemAvailable" && !mem.hasAvailable)
      mem.hasAvailable = ParseKb(value, mem.availableKb);
  }
  return mem;
}

std::string ParseOsReleaseName(const std::string& text) {
  std::istringstream lines(text);
  std::string line, key, value;
  while (std::getline(lines, line)) {
    if (Trim(line).starts_with('#')) continue;
    if (SplitLine(line, '=', key, value) && key == "PRETTY_NAME") return Unquote(value);
  }
  return {};
}

std::string ByteSizeText(uint64_t bytes) {
  static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB"};
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  double value = static_cast<double>(bytes) / 1024;
  size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(kUnits)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return text;
}

PcInfo GatherPcInfo(const std::string& startDirectory) {
  PcInfo info;
  if (!startDirectory.empty()) info.disks.push_back(StatDisk(startDirectory));
  if (startDirectory.empty() || !SameFileSystem(startDirectory, "/"))
    info.disks.push_back(StatDisk("/"));

  std::string text;
  if (ReadSmallFile("/proc/cpuinfo", text)) info.cpu = ParseCpuInfo(text);
  if (info.cpu.count == 0) info.cpu.count = static_cast<int>(std::thread::hardware_concurrency());

  struct utsname names {};
  if (::uname(&names) == 0) {
    info.os.sysname = names.sysname;
    info.os.release = names.release;
    info.os.version = names.version;
    info.os.machine = names.machine;
  }
  if (ReadSmallFile("/etc/os-release", text) || ReadSmallFile("/usr/lib/os-release", text))
    info.os.prettyName = ParseOsReleaseName(text);

  if (ReadSmallFile("/proc/meminfo", text)) info.memory = ParseMemInfo(text);
  return info;
}

std::vector<std::string> PcInfoLines(const PcInfo& info) {
  std::vector<std::string> lines;
  lines.push_back("------------------PC INFORMATION--------------------");

  lines.push_back("DISKS");
  for (const DiskInfo& disk : info.disks) {
    if (disk.known)
      lines.push_back("  " + disk.path + ": size " + ByteSizeText(disk.sizeBytes) + ", free " +
                      ByteSizeText(disk.freeBytes));
    else
      lines.push_back("  " + disk.path + ": size and free space unknown");
  }

  lines.push_back("PROCESSOR");
  std::string model = info.cpu.model.empty() ? "model unknown" : info.cpu.model;
  lines.push_back("  " + model + ", " + std::to_string(info.cpu.count) +
                  (info.cpu.count == 1 ? " processor" : " processors"));

  lines.push_back("OPERATING SYSTEM");
  if (!info.os.prettyName.empty()) lines.push_back("  " + info.os.prettyName);
  if (info.os.sysname.empty())
    lines.push_back("  kernel unknown");
  else
    lines.push_back("  " + info.os.sysname + " " + info.os.release + " " + info.os.version + " " +
                    info.os.machine);

  lines.push_back("MEMORY");
  lines.push_back(
      "  total " +
      (info.memory.hasTotal ? ByteSizeText(info.memory.totalKb * 1024) : std::string("unknown")) +
      ", available " +
      (info.memory.hasAvailable ? ByteSizeText(info.memory.availableKb * 1024)
                                : std::string("unknown")));
  return lines;
}

std::vector<std::string> PcInfoReport(const std::string& startDirectory) {
  return PcInfoLines(GatherPcInfo(startDirectory));
}
