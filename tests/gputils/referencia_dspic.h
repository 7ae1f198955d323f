// Reads the dsPIC30F configuration settings of the chip maker's device
// headers as one text file lists them: "part register address name value"
// a line, '#' starting a comment. A register's value is the AND of one
// setting from each of its fields, so the reader finds the fields and
// hands each part over as a gputils header's settings (cabecera_gputils.h),
// for the same checks.
//
// Fields: settings whose cleared bits overlap are one field. A setting that
// clears nothing is its field's all-ones value: it joins the field whose
// settings' names begin with the same word (digits dropped, so BORV20 goes
// with BORV45), else end with the same word (NO_BOOT_RAM with
// SMALL_BOOT_RAM). `mismos` names the pairs no name tells (a setting and
// one already in the field it belongs to); they also join fields whose
// bits do not overlap (GSS_HIGH and GSS_ON, bits 2 and 1 of one field).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cabecera_gputils.h"

struct TMismoCampo {
  std::string simbolo;
  std::string otro;
};

struct TReferenciaDsPic {
  std::map<std::string, TCabeceraGputils> partes;  // by part name in upper case ("30F6014A")
  std::vector<std::string> errores;                // lines not understood, settings in no field
};

TReferenciaDsPic AnalizaReferenciaDsPic(const std::string& texto, const std::vector<TMismoCampo>& mismos);
TReferenciaDsPic LeeReferenciaDsPic(const std::filesystem::path& ruta, const std::vector<TMismoCampo>& mismos);
