// A private program folder and configuration folder for one test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "CarpetaPrograma.h"

class CarpetaTemporal : public ::testing::Test {
protected:
  void SetUp() override {
    std::string plantilla = (std::filesystem::temp_directory_path() / "regauto-XXXXXX").string();
    ASSERT_NE(mkdtemp(plantilla.data()), nullptr);
    raiz = plantilla;
    programa = raiz / "prog";
    config = raiz / "cfg";
    std::filesystem::create_directories(programa);
    PonCarpetaPrograma(programa.string());
    if (const char* h = getenv("HOME")) casa = h;
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  }
  void TearDown() override {
    PonCarpetaPrograma("");
    PonCarpetaProgramaSoloLectura(false);
    setenv("HOME", casa.c_str(), 1);
    std::filesystem::remove_all(raiz);
  }

  static std::string Lee(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }
  static void Escribe(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream f(p, std::ios::binary);
    f << bytes;
  }

  std::filesystem::path raiz, programa, config;
  std::string casa = "/root";
};
