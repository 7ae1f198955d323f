// For a test program whose tests read the texts the user would see from
// the English language file: one source file of the program includes this.
#pragma once

#include <gtest/gtest.h>

#include "pg_idioma.h"

namespace {

class IdiomaIngles : public ::testing::Environment {
public:
  void SetUp() override { UsaArchivoIdioma(KORVANE_SOURCE_DIR "/korvane/app/LANGUAGES/English.ini"); }
};

const auto* const registroIdiomaIngles = ::testing::AddGlobalTestEnvironment(new IdiomaIngles);

}  // namespace
