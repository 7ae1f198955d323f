#include "firmware/zocalo_fw.h"

#include "chips/dspic30_fw.h"
#include "chips/eeprom24_fw.h"
#include "chips/pic18_fw.h"
#include "chips/pic1x_fw.h"
#include "chips/pic1x_partes.h"

namespace {

const char* const Nombres14[] = {"16F84A", "16F628A", "12F629", "12F675", "12F683",
                                 "12F635", "16F74",   "16F88",  "16F877", "16F877A"};
const char* const Nombres10F[] = {"10F200", "10F202", "10F204", "10F206"};
const char* const Nombres24[] = {"24C01", "24C02", "24C04", "24C08",  "24C16",
                                 "24C32", "24C64", "24C128", "24C256", "24C512"};

class T14 final : public TZocaloFw {
public:
  explicit T14(const TDatosPic14& d) : pic_(d), chip_(pic_) {}
  TChipFw& Chip() override { return chip_; }
  uint32_t Celdas() const override { return static_cast<uint32_t>(pic_.Prog.size()); }
  uint32_t Programa(uint32_t c) const override { return pic_.Prog.at(c); }
  std::optional<uint32_t> PalabraConfig() const override { return pic_.Config[7]; }

private:
  TPic14Sim pic_;
  TChipFwPic14 chip_;
};

class T10F final : public TZocaloFw {
public:
  explicit T10F(const TDatos10F& d) : pic_(d), chip_(pic_) {}
  TChipFw& Chip() override { return chip_; }
  uint32_t Celdas() const override { return static_cast<uint32_t>(pic_.Mem.size()); }
  uint32_t Programa(uint32_t c) const override { return pic_.Mem.at(c); }

private:
  TPic10FSim pic_;
  TChipFwPic10F chip_;
};

class T18 final : public TZocaloFw {
public:
  explicit T18(const TModeloPic18& m) : mem_(m), chip_(mem_) {}
  TChipFw& Chip() override { return chip_; }
  uint32_t Celdas() const override { return static_cast<uint32_t>(mem_.Prog.size() / 2); }
  uint32_t Programa(uint32_t c) const override { return mem_.PalabraProg(c); }

private:
  TMemoriaPic18 mem_;
  TPic18Fw chip_;
};

class T30 final : public TZocaloFw {
public:
  explicit T30(const TModeloDsPic30& m) : chip_(m) {}
  TChipFw& Chip() override { return chip_; }
  uint32_t Celdas() const override { return static_cast<uint32_t>(chip_.Memoria.Prog.size()); }
  uint32_t Programa(uint32_t c) const override { return chip_.Memoria.Prog.at(c); }

private:
  TDsPic30Fw chip_;
};

class T24 final : public TZocaloFw {
public:
  explicit T24(int indice) : chip_(indice) {}
  TChipFw& Chip() override { return chip_; }
  uint32_t Celdas() const override { return static_cast<uint32_t>(chip_.Eeprom.Memoria().size()); }
  uint32_t Programa(uint32_t c) const override { return chip_.Eeprom.Memoria().at(c); }

private:
  TChipEeprom24Fw chip_;
};

}  // namespace

std::unique_ptr<TZocaloFw> TZocaloFw::Crea(const std::string& nombre) {
  if (auto d = Datos14(nombre)) return std::make_unique<T14>(*d);
  if (auto d = Datos10F(nombre)) return std::make_unique<T10F>(*d);
  if (nombre == "18F452") return std::make_unique<T18>(Modelo18F452());
  if (nombre == "18F4550") return std::make_unique<T18>(Modelo18F4550());
  if (nombre == "18F4620") return std::make_unique<T18>(Modelo18F4620());
  if (nombre == "30F2010") return std::make_unique<T30>(Modelo30F2010());
  if (nombre == "30F4013") return std::make_unique<T30>(Modelo30F4013());
  if (nombre == "30F6013") return std::make_unique<T30>(Modelo30F6013());
  if (nombre == "30F6014") return std::make_unique<T30>(Modelo30F6014());
  for (int i = 0; i < 10; ++i)
    if (nombre == Nombres24[i]) return std::make_unique<T24>(i);
  return nullptr;
}

std::vector<std::string> TZocaloFw::Nombres() {
  std::vector<std::string> n(std::begin(Nombres14), std::end(Nombres14));
  n.insert(n.end(), std::begin(Nombres10F), std::end(Nombres10F));
  for (const char* p : {"18F452", "18F4550", "18F4620", "30F2010", "30F4013", "30F6013", "30F6014"})
    n.emplace_back(p);
  n.insert(n.end(), std::begin(Nombres24), std::end(Nombres24));
  return n;
}
