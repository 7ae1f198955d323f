// Fuzzes Tessaly's device database as a user may have edited it: the bytes
// are vorra.ini in the program folder; the device list is read and the
// first devices it names are loaded. A device that loads keeps its sizes
// within what the image buffers hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_comun.h"
#include "ts_app.h"
#include "ts_devdb.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  AppSettings.ProgramDirectory = CarpetaFuzz();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, std::size_t tam) {
  EscribeArchivoFuzz(DeviceDatabasePath(), std::string_view(reinterpret_cast<const char*>(datos), tam));
  DeviceBox = {};
  if (!LoadDeviceList()) std::abort();  // the file is there
  const auto nombres = DeviceBox.Items;
  for (std::size_t i = 0; i < nombres.size() && i < 4; ++i) {
    DeviceBox.Text = nombres[i];
    if (!LoadDevice()) continue;
    const TDeviceParameters& d = DeviceParameters;
    if (d.CodeSize < 0 || d.CodeSize > MaxCodeSize || d.DataSize < 0 || d.DataSize > 1024 || d.IDSize < 0 ||
        d.IDSize > 8 || d.ConfigSize < 0 || d.ConfigSize > 8 || d.BlockSize < 1)
      std::abort();
  }
  return 0;
}
