#include "ts_kept.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string PathOverride;

struct TRecord {
  std::string Device;
  TKeptCalibration Kept;
};

std::vector<TRecord> ReadAll() {
  std::vector<TRecord> records;
  std::ifstream in(KeptCalibrationPath());
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string device, osc, cfg;
    if (!std::getline(fields, device, '\t') || !std::getline(fields, osc, '\t') || !std::getline(fields, cfg))
      continue;
    while (!cfg.empty() && cfg.back() == '\r') cfg.pop_back();
    TRecord r{device, {}};
    char* end = nullptr;
    r.Kept.Osc = static_cast<uint32_t>(std::strtoul(osc.c_str(), &end, 16));
    if (osc.empty() || *end) continue;
    r.Kept.HasCfg = cfg != "-";
    if (r.Kept.HasCfg) {
      r.Kept.Cfg = static_cast<uint32_t>(std::strtoul(cfg.c_str(), &end, 16));
      if (cfg.empty() || *end) continue;
    }
    records.push_back(r);
  }
  return records;
}

// The whole file replaced at once, so a crash leaves the old one.
bool WriteAll(const std::vector<TRecord>& records) {
  namespace fs = std::filesystem;
  const fs::path path = KeptCalibrationPath();
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  const fs::path temporary = path.string() + ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    for (const TRecord& r : records) {
      char line[64];
      if (r.Kept.HasCfg)
        std::snprintf(line, sizeof line, "\t%04X\t%04X\n", r.Kept.Osc, r.Kept.Cfg);
      else
        std::snprintf(line, sizeof line, "\t%04X\t-\n", r.Kept.Osc);
      out << r.Device << line;
    }
    out.flush();
    if (!out) {
      fs::remove(temporary, ec);
      return false;
    }
  }
  fs::rename(temporary, path, ec);
  if (ec) fs::remove(temporary, ec);
  return !ec;
}

bool Same(const TRecord& r, const std::string& device, const TKeptCalibration& kept) {
  return r.Kept == kept && r.Device.size() == device.size() &&
         strcasecmp(r.Device.c_str(), device.c_str()) == 0;
}

}  // namespace

std::string KeptCalibrationPath() {
  if (!PathOverride.empty()) return PathOverride;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config && *config) {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home ? home : ".") + "/.config";
  }
  return base + "/tessaly/calibration.txt";
}

void SetKeptCalibrationPath(const std::string& path) { PathOverride = path; }

std::vector<TKeptCalibration> KeptCalibrations(const std::string& device) {
  std::vector<TKeptCalibration> kept;
  for (const TRecord& r : ReadAll())
    if (r.Device.size() == device.size() && strcasecmp(r.Device.c_str(), device.c_str()) == 0)
      kept.push_back(r.Kept);
  return kept;
}

bool KeepCalibration(const std::string& device, const TKeptCalibration& kept) {
  std::vector<TRecord> records = ReadAll();
  for (const TRecord& r : records)
    if (Same(r, device, kept)) return true;
  records.push_back({device, kept});
  return WriteAll(records);
}

void ForgetCalibration(const std::string& device, const TKeptCalibration& kept) {
  std::vector<TRecord> records = ReadAll();
  const auto before = records.size();
  std::erase_if(records, [&](const TRecord& r) { return Same(r, device, kept); });
  if (records.size() != before) WriteAll(records);
}
