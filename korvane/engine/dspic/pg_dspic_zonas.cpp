// The area routines of the dsPIC family: read, program and compare one
// area on either link.
#include <array>

#include "dspic/pg_dspic.h"
#include "dspic/pg_dspic_comun.h"
#include "dspic/pg_dspic_icsp.h"
#include "flash/pg_flash_comun.h"
#include "fw/pg_fw.h"
#include "hw/pg_icsp.h"
#include "hw/pg_perfil.h"
#include "hw/pg_port.h"
#include "pg_entorno.h"
#include "pg_err.h"
#include "pg_idioma.h"

namespace {

constexpr uint32_t MovW10Nvmcon = 0x883B0A;
constexpr uint32_t NvmconFilaPrograma = 0x24001A;  // MOV #0x4001, W10
constexpr uint32_t NvmconFilaDatos = 0x24005A;     // MOV #0x4005, W10
constexpr uint32_t GotoReset = 0x040100;

bool EsPrograma(uint8_t tipo) { return tipo == ZonaDsPrograma || tipo == ZonaDsEjecutivo; }

void Direccion24(uint32_t d) {
  TPaquete[4] = static_cast<uint8_t>(d >> 16);
  TPaquete[5] = static_cast<uint8_t>(d >> 8);
  TPaquete[6] = static_cast<uint8_t>(d);
}

bool LeeFw(uint16_t* buffer, uint32_t inicio, uint32_t cuenta, uint8_t tipo) {
  uint32_t celdas = CeldasConfigDs;
  uint16_t n = 0;
  char letra = 'G';
  if (EsPrograma(tipo)) {
    letra = 'E';
    n = static_cast<uint16_t>(cuenta / 4 - 1);
    celdas = cuenta * 2;
  } else if (tipo == ZonaDsDatos) {
    letra = 'F';
    n = static_cast<uint16_t>((cuenta - 1) >> 3);
    celdas = cuenta;
  }
  OrdenDs(letra, static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), 0, 0, 0, Z2Ds());
  if (tipo != ZonaDsConfig) Direccion24(inicio);
  return LeeBloque(buffer, 0, celdas - 1);
}

bool LeeProgramaIcsp(uint16_t* buffer, uint32_t inicio, uint32_t cuenta) {
  SaltaReset();
  PonTblpag(6, inicio);
  for (uint32_t g = 0; g < cuenta / 4; ++g) {
    const uint32_t celda = 8 * g;
    // W6 holds only the low 16 bits of the address.
    if (celda == 0x10000) PonTblpag(6, inicio + 0x10000);
    LeeTabla4Instr();
    LeeVisi4Instr(buffer + celda);
    SaltaResetCorto();
    SumaProgreso(8);
    if (CanceladoEnZona()) return true;
  }
  return false;
}

bool LeeDatosIcsp(uint16_t* buffer, uint32_t inicio, uint32_t cuenta) {
  SaltaReset();
  PonTblpag(6, inicio);
  for (uint32_t g = 0; g < ((cuenta - 1) >> 3) + 1; ++g) {
    LeeTabla4Palabras();
    LeeVisi4Palabras(buffer + 8 * g);
    SaltaResetCorto();
    SumaProgreso(8);
    if (CanceladoEnZona()) return true;
  }
  return false;
}

bool FilaEnBlanco(const uint16_t* c, bool programa) {
  const uint32_t n = programa ? 32 : 16;
  for (uint32_t i = 0; i < n; ++i) {
    if (c[2 * i] != 0xFFFF) return false;
    if (programa && c[2 * i + 1] != 0x00FF) return false;
  }
  return true;
}

bool FallaFila(uint32_t direccion, uint32_t esperado, uint32_t leido) {
  Error24Ds(ErrEscritura, direccion, esperado, leido);
  SaleProgramacion();
  return true;
}

bool ProgramaFilaIcsp(const uint16_t* c, uint32_t dir) {
  EnviaSIX(NvmconFilaPrograma);
  EnviaSIX(MovW10Nvmcon);
  for (uint32_t g = 0; g < 8; ++g) {
    PonTblpag(7, dir + 8 * g);
    CargaW0W5(c + 8 * g);
    EscribeTabla4Instr();
  }
  EnviaClavesNvm();
  IniciaEscrituraNvm();
  SaltaResetCorto();
  std::array<uint16_t, 64> leido{};
  PonTblpag(6, dir);
  for (uint32_t g = 0; g < 8; ++g) {
    LeeTabla4Instr();
    LeeVisi4Instr(leido.data() + 8 * g);
  }
  EnviaSIX(GotoReset);
  EnviaNOP();
  for (uint32_t i = 0; i < 32; ++i) {
    const uint32_t esperado = Instruccion24(c + 2 * i);
    const uint32_t real = Instruccion24(leido.data() + 2 * i);
    if (esperado != real) return FallaFila(dir + 2 * i, esperado, real);
  }
  return false;
}

bool ProgramaFilaDatosIcsp(const uint16_t* c, uint32_t dir) {
  EnviaSIX(NvmconFilaDatos);
  EnviaSIX(MovW10Nvmcon);
  for (uint32_t g = 0; g < 4; ++g) {
    PonTblpag(7, dir + 8 * g);
    for (uint8_t k = 0; k < 4; ++k) EnviaSIX(0x200000u | uint32_t{c[8 * g + 2 * k]} << 4 | k);
    EscribeTabla4Palabras();
  }
  EnviaClavesNvm();
  IniciaEscrituraNvm();
  SaltaResetCorto();
  SaltaReset();  // the read back starts from the reset vector
  std::array<uint16_t, 32> leido{};
  PonTblpag(6, dir);
  for (uint32_t g = 0; g < 4; ++g) {
    LeeTabla4Palabras();
    LeeVisi4Palabras(leido.data() + 8 * g);
    SaltaResetCorto();
  }
  for (uint32_t i = 0; i < 16; ++i)
    if (c[2 * i] != leido[2 * i]) return FallaFila(dir + 2 * i, c[2 * i], leido[2 * i]);
  return false;
}

bool ProgramaFilasIcsp(const uint16_t* buffer, uint32_t inicio, uint32_t cuenta, bool programa) {
  SaltaReset();
  const uint32_t celdasFila = programa ? 64 : 32;
  for (uint32_t f = 0; f < ((cuenta - 1) >> 5) + 1; ++f) {
    const uint16_t* c = buffer + f * celdasFila;
    const uint32_t dir = inicio + f * celdasFila;
    if (!FilaEnBlanco(c, programa)) {
      if (programa ? ProgramaFilaIcsp(c, dir) : ProgramaFilaDatosIcsp(c, dir)) return true;
    }
    SumaProgreso(celdasFila);
    if (CanceladoEnZona()) return true;
  }
  return false;
}

bool ProgramaConfigIcsp(const uint16_t* buffer) {
  EscribeConfigDs(buffer, 4);
  std::array<uint16_t, CeldasConfigDs> leido{};
  LeeConfigDs(leido.data());
  for (uint32_t r = 0; r < 7; ++r)
    if (leido[4 * r] != buffer[4 * r]) return FallaFila(0xF80000 + 2 * r, buffer[4 * r], leido[4 * r]);
  SumaProgreso(32);
  return false;
}

// The registers as the part keeps them: only their implemented bits. A
// register given with bits the part does not hold (a file without
// configuration words leaves 0xFFFF, toolchains set the unused bits) is
// written and checked as what it will read back, on either link.
std::array<uint16_t, CeldasConfigDs> ConfigImplementada(const uint16_t* celdas) {
  const auto& bits = BitsConfig(DaMaskAB());
  std::array<uint16_t, CeldasConfigDs> c{};
  for (uint32_t r = 0; r < 7; ++r) c[4 * r] = static_cast<uint16_t>(celdas[4 * r] & bits[r]);
  return c;
}

bool ProgramaFw(const uint16_t* buffer, uint32_t inicio, uint32_t cuenta, uint8_t tipo) {
  const char letra = EsPrograma(tipo) ? 'I' : tipo == ZonaDsDatos ? 'J' : 'K';
  const uint32_t filas = tipo == ZonaDsConfig ? 0 : (cuenta - 1) >> 5;
  OrdenDs(letra, static_cast<uint8_t>(filas), static_cast<uint8_t>(filas >> 8), 0, 0, tipo, Z2Ds());
  if (!ProgramaBloque24(buffer, inicio, filas, tipo)) return false;
  ResetProgramador();
  return true;
}

}  // namespace

bool LeeZonaDsPic(uint16_t* buffer, uint32_t inicio, uint32_t cuenta, uint8_t tipo,
                  const std::string& zona) {
  if (cuenta == 0) return false;
  InterfazOperacion().Log(LineaZona(TextosEntorno[16], zona, cuenta, ClaseDs(tipo)));
  EntraProgramacion();
  bool fallo;
  if (USB_COM) {
    fallo = LeeFw(buffer, inicio, cuenta, tipo);
  } else if (EsPrograma(tipo)) {
    fallo = LeeProgramaIcsp(buffer, inicio, cuenta);
  } else if (tipo == ZonaDsDatos) {
    fallo = LeeDatosIcsp(buffer, inicio, cuenta);
  } else {
    LeeConfigDs(buffer);
    SumaProgreso(12);
    fallo = false;
  }
  if (fallo) return true;
  SaleProgramacion();
  return false;
}

bool ProgramaZonaDsPic(const uint16_t* buffer, uint32_t inicio, uint32_t cuenta, uint8_t tipo,
                       const std::string& zona) {
  if (cuenta == 0) return false;
  InterfazOperacion().Log(LineaZona(TextosEntorno[15], zona, cuenta, ClaseDs(tipo)));
  EntraProgramacion();
  std::array<uint16_t, CeldasConfigDs> config{};
  if (tipo == ZonaDsConfig) {
    config = ConfigImplementada(buffer);
    buffer = config.data();
  }
  bool fallo;
  if (USB_COM)
    fallo = ProgramaFw(buffer, inicio, cuenta, tipo);
  else if (tipo == ZonaDsConfig)
    fallo = ProgramaConfigIcsp(buffer);
  else
    fallo = ProgramaFilasIcsp(buffer, inicio, cuenta, EsPrograma(tipo));
  if (fallo) return true;
  SaleProgramacion();
  return false;
}

bool VerificaZonaDsPic(const uint16_t* leido, const uint16_t* esperado, uint32_t inicio,
                       uint8_t tipo, const std::string& zona, uint32_t celdas, bool protegida) {
  if (celdas == 0) return false;
  const bool config = tipo == ZonaDsConfig;
  auto& ui = InterfazOperacion();
  ui.Log(LineaZona(TextosEntorno[18], zona, config ? celdas / 4 : celdas / 2, ClaseDs(tipo)));
  // The second cell of a pair holds the upper byte of an instruction, and
  // nothing at all for an EEPROM word or a configuration register; the last
  // two cells of a register hold nothing, and of its value the part holds
  // only the implemented bits. Bits without device bits cannot fail a verify.
  const uint32_t segunda = EsPrograma(tipo) ? 0x00FF : 0x0000;
  const auto& implementados = BitsConfig(DaMaskAB());
  for (uint32_t i = 0; i + 1 < celdas; i += 2) {
    if (!config || i % 4 == 0) {
      const uint32_t primera = config ? implementados[i / 4 % 7] : 0xFFFF;
      const uint32_t r = (leido[i] & primera) | (leido[i + 1] & segunda) << 16;
      const uint32_t e = (esperado[i] & primera) | (esperado[i + 1] & segunda) << 16;
      // A protected instruction reads 0; every one that shows something is compared.
      if (r != e && !(protegida && r == 0)) {
        Error24Ds(ErrVerificacion, inicio + (config ? i / 2 : i), e, r);
        SaleProgramacion();
        return true;
      }
    }
    SumaProgreso(2);
    if (CanceladoEnZona()) return true;
  }
  ui.CambiaUltimaLinea(" " + zona + TextosZona[10]);
  return false;
}
