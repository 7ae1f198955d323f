// Fuzzes Tessaly's settings file as a user may have edited it: the bytes are
// vorracfg.ini; it is read over the start values, written out again, and
// what was written must read back to the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_comun.h"
#include "ts_settings.h"

namespace {

bool Mismos(const TSettingsFile& a, const TSettingsFile& b) {
  const auto lugar = [](const TWindowPlacement& x, const TWindowPlacement& y) {
    return x.Left == y.Left && x.Top == y.Top && x.Width == y.Width && x.Height == y.Height &&
           x.Visible == y.Visible && x.Ascii == y.Ascii;
  };
  if (!lugar(a.Main, b.Main) || !lugar(a.Config, b.Config) || !lugar(a.Code, b.Code) ||
      !lugar(a.Data, b.Data) || !lugar(a.ID, b.ID) || !lugar(a.SerialNumber, b.SerialNumber) ||
      !lugar(a.Count, b.Count))
    return false;
  if (a.SN.SerialNumber != b.SN.SerialNumber || a.SN.IncrementBy != b.SN.IncrementBy ||
      a.SN.StartingLocation != b.SN.StartingLocation || a.SN.NumberLocations != b.SN.NumberLocations ||
      a.SN.PrefixByte != b.SN.PrefixByte || a.SN.MSBFirst != b.SN.MSBFirst || a.SN.Target != b.SN.Target)
    return false;
  if (a.VorraPort != b.VorraPort || a.AutoPortDetect != b.AutoPortDetect || a.StayOnTop != b.StayOnTop)
    return false;
  for (int i = 0; i < a.ConfigCount; ++i)
    if (a.ConfigWords[i] != b.ConfigWords[i]) return false;
  return a.Device == b.Device && a.Files == b.Files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, std::size_t tam) {
  const std::string ruta = CarpetaFuzz() + "vorracfg.ini";
  EscribeArchivoFuzz(ruta, std::string(reinterpret_cast<const char*>(datos), tam));
  TSettingsFile s;
  if (!LoadSettingsFile(ruta, s)) return 0;  // past the size a settings file may have
  // The bounds of the serial-number controls hold whatever the file says.
  if (s.SN.StartingLocation < 0 || s.SN.StartingLocation > 8191 || s.SN.NumberLocations < 1 ||
      s.SN.NumberLocations > 4 || s.SN.PrefixByte < 0 || s.SN.PrefixByte > 63 || s.VorraPort < 0 ||
      s.VorraPort > 3 || s.Files.size() > 4)
    std::abort();
  // A recent file named like a section header cannot come back as a file:
  // that is the file's, not a fault.
  s.ConfigCount = 8;
  for (const std::string& f : s.Files)
    if (f.empty() || f[0] == '[') return 0;
  TSettingsFile r;
  ReadSettingsText(SettingsText(s), r);
  if (!Mismos(s, r)) std::abort();
  return 0;
}
