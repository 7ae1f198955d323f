// The tests read the texts the user would see from the English language file.
#include <gtest/gtest.h>

#include "pg_idioma.h"

namespace {

class IdiomaIngles : public ::testing::Environment {
public:
  void SetUp() override { UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini"); }
};

const auto* const registro = ::testing::AddGlobalTestEnvironment(new IdiomaIngles);

}  // namespace
