#include "chips/eeprom24_fw.h"

TChipEeprom24Fw::TChipEeprom24Fw(int indice) : Eeprom(indice), bus_(Eeprom) {
  bus_.Enciende();
  for (auto& a : Areas) a = nullptr;
}

uint16_t TChipEeprom24Fw::IdDispositivo(char letra, bool z2) {
  sonda_.Desde(bus_.AhoraNs());
  const uint16_t id = sonda_.Lee(letra, z2);
  // The bus master powers the part again, after the probe.
  bus_.Espera(sonda_.AhoraNs() - bus_.AhoraNs());
  return id;
}

bool TChipEeprom24Fw::Reconoce() {
  bus_.Start();
  const bool ack = bus_.Envia(0xA0);
  bus_.Stop();
  return ack;
}

TBloqueFw TChipEeprom24Fw::Bloque(const TOrdenFw& orden) {
  const uint32_t n = uint32_t{orden.Cuenta()} + 1;
  if (orden.Letra() == 'B') {
    if (escrito_.Celdas.size() != n) escrito_.Celdas.assign(n, 0xFF);
    return {&escrito_, 0, n};
  }
  if (orden.Letra() != 'A') return {};
  leido_.Celdas.assign(n, 0xFF);
  if (bus_.Direcciona(0, orden.b[4] != 0) && bus_.EmpiezaLectura(0, orden.b[4] != 0))
      for (uint32_t i = 0; i < n; ++i) leido_.Celdas[i] = bus_.Lee(i + 1 < n);
  bus_.Stop();
  return {&leido_, 0, n};
}

std::optional<TFalloEscrituraFw> TChipEeprom24Fw::Escribe(const TOrdenFw& orden, uint32_t indice,
                                                          uint16_t palabra) {
  const uint32_t n = uint32_t{orden.Cuenta()} + 1;
  const uint32_t pagina = orden.b[4] ? orden.b[4] : 1;
  if (escrito_.Celdas.size() != n) escrito_.Celdas.assign(n, 0xFF);
  if (indice >= n) return std::nullopt;
  escrito_.Celdas[indice] = palabra & 0xFF;
  const uint32_t inicio = indice - indice % pagina;
  if (indice + 1 == n || (indice + 1) % pagina == 0) return EscribePagina(orden, inicio, indice + 1 - inicio);
  return std::nullopt;
}

std::optional<TFalloEscrituraFw> TChipEeprom24Fw::EscribePagina(const TOrdenFw& orden, uint32_t inicio,
                                                               uint32_t n) {
  const bool dos = orden.b[6] == 0;
  const auto& datos = escrito_.Celdas;
  bool ok = bus_.Direcciona(inicio, dos);
  for (uint32_t i = 0; ok && i < n; ++i) ok = bus_.Envia(static_cast<uint8_t>(datos[inicio + i]));
  bus_.Stop();
  const TFalloEscrituraFw sinAck{inicio, datos[inicio], 0xFF, true};
  if (!ok) return sinAck;
  bus_.Espera(uint64_t{orden.b[5]} * 1'000'000);
  ok = bus_.Direcciona(inicio, dos) && bus_.EmpiezaLectura(inicio, dos);
  if (!ok) {
    bus_.Stop();
    return sinAck;
  }
  std::optional<TFalloEscrituraFw> fallo;
  for (uint32_t i = 0; i < n; ++i) {
    const uint8_t v = bus_.Lee(i + 1 < n);
    if (!fallo && v != datos[inicio + i]) fallo = TFalloEscrituraFw{inicio + i, datos[inicio + i], v};
  }
  bus_.Stop();
  return fallo;
}
