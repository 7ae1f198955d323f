// Calibration a part owns, read before an erase and kept in a file until it
// is back in the part: a port lost between the erase and the write-back
// then loses nothing once the error box is closed. The next Program of that
// device that finds the calibration word blank offers the kept values as a
// question; they are never written without one, as they may belong to
// another chip of the same type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TKeptCalibration {
  uint32_t Osc = 0;     // the calibration word
  bool HasCfg = false;  // EraseType 5: the configuration word read too,
  uint32_t Cfg = 0;     // whose bits outside ConfigMask[0] are the part's
  bool operator==(const TKeptCalibration&) const = default;
};

// The file: "$XDG_CONFIG_HOME/tessaly/calibration.txt" (~/.config when
// unset), one line a record: device, calibration word, configuration word
// or "-", separated by tabs.
std::string KeptCalibrationPath();
// Another file, for the tests ("" restores the default).
void SetKeptCalibrationPath(const std::string& path);

// The records of a device (its name matched ignoring case), oldest first.
std::vector<TKeptCalibration> KeptCalibrations(const std::string& device);
// Adds a record unless it is there already. False when the file could not
// be written.
bool KeepCalibration(const std::string& device, const TKeptCalibration& kept);
// Removes a record once its values are back in a part.
void ForgetCalibration(const std::string& device, const TKeptCalibration& kept);
