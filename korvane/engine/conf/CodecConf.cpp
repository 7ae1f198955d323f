#include "CodecConf.h"

#include <cstdio>

TDispositivos Disp(std::initializer_list<int> indices) {
  TDispositivos d;
  for (int i : indices) d.set(static_cast<size_t>(i));
  return d;
}

TDispositivos DispRango(int primero, int ultimo) {
  TDispositivos d;
  for (int i = primero; i <= ultimo; ++i) d.set(static_cast<size_t>(i));
  return d;
}

namespace {

bool En(const TDispositivos& d, int dispositivo) {
  return dispositivo >= 0 && static_cast<size_t>(dispositivo) < d.size() && d.test(static_cast<size_t>(dispositivo));
}

const std::string& TextoPara(const std::vector<TTextoDisp>& textos, int dispositivo, const std::string& propio,
                             const std::string& nombre) {
  for (const TTextoDisp& t : textos)
    if (En(t.dispositivos, dispositivo)) return t.texto;
  return propio.empty() ? nombre : propio;
}

bool Coincide(const TOpcionConf& o, uint16_t palabra) { return (palabra & o.mascaraCarga) == o.carga; }

template <typename F>
void ParaCada(const TTablaConf& t, F f) {
  int n = 0;
  for (size_t g = 0; g < t.grupos.size(); ++g)
    for (const TControlConf& c : t.grupos[g].controles) f(n++, static_cast<int>(g), c);
}

uint16_t Palabra(std::span<const uint16_t> config, size_t i) { return i < config.size() ? config[i] : 0xFFFF; }

std::vector<uint16_t> MascaraDe(const TTablaConf& t, int dispositivo) {
  return t.mascara ? t.mascara(dispositivo) : std::vector<uint16_t>{};
}

uint16_t Bits(const std::vector<uint16_t>& mascara, size_t i) { return i < mascara.size() ? mascara[i] : 0xFFFF; }

}  // namespace

// --- Table helpers -------------------------------------------------------------

TControlConf TControlConf::En(TDispositivos d) const {
  TControlConf c = *this;
  c.soloEn = d;
  return c;
}
TControlConf TControlConf::OcultoEn(TDispositivos d) const {
  TControlConf c = *this;
  c.ocultoEn = d;
  return c;
}
TControlConf TControlConf::Col(uint8_t col) const {
  TControlConf c = *this;
  c.columna = col;
  return c;
}
TControlConf TControlConf::Texto(const std::string& t) const {
  TControlConf c = *this;
  c.texto = t;
  return c;
}
TControlConf TControlConf::TextoEn(TDispositivos d, const std::string& t) const {
  TControlConf c = *this;
  c.textos.push_back({d, t});
  return c;
}
TControlConf TControlConf::OpcionOcultaEn(int opcion, TDispositivos d) const {
  TControlConf c = *this;
  c.opciones.at(static_cast<size_t>(opcion)).ocultoEn |= d;
  return c;
}
TControlConf TControlConf::OpcionDeshabilitadaEn(int opcion, TDispositivos d) const {
  TControlConf c = *this;
  c.opciones.at(static_cast<size_t>(opcion)).deshabilitadoEn |= d;
  return c;
}
TControlConf TControlConf::OpcionTextoEn(int opcion, TDispositivos d, const std::string& t) const {
  TControlConf c = *this;
  c.opciones.at(static_cast<size_t>(opcion)).textos.push_back({d, t});
  return c;
}

TControlConf TControlConf::OpcionesTextoEn(TDispositivos d, int primera, const std::vector<std::string>& t) const {
  TControlConf c = *this;
  for (size_t i = 0; i < t.size(); ++i) c = c.OpcionTextoEn(primera + static_cast<int>(i), d, t[i]);
  return c;
}

TControlConf TControlConf::Si(const std::string& control, std::vector<int> opciones, bool excepto) const {
  TControlConf c = *this;
  c.si = {control, std::move(opciones), excepto};
  return c;
}

TControlConf CasillaBits(const std::string& nombre, uint8_t palabra, uint16_t mascara, uint16_t marcada,
                         uint16_t libre, uint16_t mascaraCarga, uint16_t cargaMarcada) {
  TControlConf c;
  c.clase = TClaseControl::Casilla;
  c.nombre = nombre;
  c.palabra = palabra;
  c.mascara = mascara;
  TOpcionConf no, si;
  no.guarda = libre;
  si.guarda = marcada;
  si.mascaraCarga = mascaraCarga;
  si.carga = cargaMarcada;
  c.opciones = {no, si};
  return c;
}

TControlConf Casilla1(const std::string& nombre, uint8_t palabra, int bit) {
  const auto m = static_cast<uint16_t>(1u << bit);
  return CasillaBits(nombre, palabra, m, m, 0, m, m);
}

TControlConf Casilla0(const std::string& nombre, uint8_t palabra, int bit) {
  const auto m = static_cast<uint16_t>(1u << bit);
  return CasillaBits(nombre, palabra, m, 0, m, m, 0);
}

namespace {

TControlConf Campo(TClaseControl clase, const std::string& nombre, const std::string& titulo, uint8_t palabra,
                   uint16_t mascara, uint16_t mascaraCarga, const std::vector<TOpcionSimple>& opciones) {
  TControlConf c;
  c.clase = clase;
  c.nombre = nombre;
  c.texto = titulo;
  c.palabra = palabra;
  c.mascara = mascara;
  for (const TOpcionSimple& o : opciones)
    c.opciones.push_back(TOpcionConf{.nombre = o.nombre,
                                     .texto = o.texto,
                                     .guarda = o.valor,
                                     .mascaraCarga = mascaraCarga,
                                     .carga = static_cast<uint16_t>(o.valor & mascaraCarga)});
  return c;
}

}  // namespace

TControlConf Radios(const std::string& nombre, const std::string& titulo, uint8_t palabra, uint16_t mascara,
                    std::vector<TOpcionSimple> opciones) {
  return Campo(TClaseControl::Radios, nombre, titulo, palabra, mascara, mascara, opciones);
}

TControlConf Lista(const std::string& nombre, const std::string& titulo, uint8_t palabra, uint16_t mascara,
                   std::vector<TOpcionSimple> opciones) {
  return Campo(TClaseControl::Lista, nombre, titulo, palabra, mascara, mascara, opciones);
}

TControlConf Espejo(const std::string& nombre, const std::string& titulo, uint8_t palabra, uint16_t mascara,
                    uint16_t mascaraCarga, std::vector<TOpcionSimple> opciones) {
  return Campo(TClaseControl::Radios, nombre, titulo, palabra, mascara, mascaraCarga, opciones);
}

// --- Lookup ------------------------------------------------------------------------

int NumControles(const TTablaConf& t) {
  int n = 0;
  for (const TGrupoConf& g : t.grupos) n += static_cast<int>(g.controles.size());
  return n;
}

const TControlConf& ControlN(const TTablaConf& t, int n) {
  for (const TGrupoConf& g : t.grupos) {
    if (n < static_cast<int>(g.controles.size())) return g.controles[static_cast<size_t>(n)];
    n -= static_cast<int>(g.controles.size());
  }
  return t.grupos.at(t.grupos.size()).controles.front();  // out of range: throws
}

int BuscaControl(const TTablaConf& t, const std::string& nombre) {
  int encontrado = -1;
  ParaCada(t, [&](int n, int, const TControlConf& c) {
    if (encontrado < 0 && c.nombre == nombre) encontrado = n;
  });
  return encontrado;
}

namespace {

std::pair<int, int> Busca(const TTablaConf& t, const std::string& nombre, int dispositivo, bool todos) {
  const int grupo = GrupoDe(t, dispositivo);
  std::pair<int, int> r{-1, -1};
  ParaCada(t, [&](int n, int g, const TControlConf& c) {
    if (r.first >= 0 || c.clase == TClaseControl::Casilla) return;
    if (!todos && (g != grupo || !En(c.soloEn, dispositivo))) return;
    for (size_t i = 0; i < c.opciones.size(); ++i)
      if (c.opciones[i].nombre == nombre) {
        r = {n, static_cast<int>(i)};
        return;
      }
  });
  return r;
}

}  // namespace

std::pair<int, int> BuscaOpcion(const TTablaConf& t, const std::string& nombre) { return Busca(t, nombre, -1, true); }

std::pair<int, int> BuscaOpcion(const TTablaConf& t, const std::string& nombre, int dispositivo) {
  return Busca(t, nombre, dispositivo, false);
}

int GrupoDe(const TTablaConf& t, int dispositivo) {
  for (size_t g = 0; g < t.grupos.size(); ++g)
    if (En(t.grupos[g].dispositivos, dispositivo)) return static_cast<int>(g);
  return t.grupoPorDefecto;
}

bool Aplica(const TTablaConf& t, int n, int dispositivo) {
  const int grupo = GrupoDe(t, dispositivo);
  bool aplica = false;
  ParaCada(t, [&](int i, int g, const TControlConf& c) {
    if (i == n) aplica = g == grupo && En(c.soloEn, dispositivo);
  });
  return aplica;
}

// --- ID words -------------------------------------------------------------------------

uint16_t IDtoBuffer(std::span<const uint16_t> id) {
  uint16_t v = 0;
  for (size_t k = 0; k < 4; ++k) v = static_cast<uint16_t>(v << 4 | (k < id.size() ? id[k] & 0xF : 0));
  return v;
}

void BufferToID(std::span<uint16_t> id, uint16_t valor, uint16_t ancho) {
  for (size_t k = 0; k < 4 && k < id.size(); ++k)
    id[k] = static_cast<uint16_t>(((valor >> (12 - 4 * k)) & 0xF) | (ancho & 0xFFF0));
}

// --- Codec ------------------------------------------------------------------------------

TEstadoConf CargaConf(const TTablaConf& t, int dispositivo, std::span<const uint16_t> id,
                      std::span<const uint16_t> config) {
  TEstadoConf e;
  e.id = IDtoBuffer(id);
  e.valores.assign(static_cast<size_t>(NumControles(t)), -1);
  const int grupo = GrupoDe(t, dispositivo);
  const std::vector<uint16_t> mascara = MascaraDe(t, dispositivo);
  ParaCada(t, [&](int n, int g, const TControlConf& c) {
    int& v = e.valores[static_cast<size_t>(n)];
    if (c.clase == TClaseControl::Casilla) v = 0;
    if (g != grupo || !En(c.soloEn, dispositivo)) return;
    const uint16_t w = Palabra(config, c.palabra) & Bits(mascara, c.palabra);
    if (c.clase == TClaseControl::Casilla) {
      const TOpcionConf& no = c.opciones.at(0);
      v = no.mascaraCarga != 0 ? (Coincide(no, w) ? 0 : 1) : (Coincide(c.opciones.at(1), w) ? 1 : 0);
      return;
    }
    // The first option whose pattern matches; an option with no load
    // mask takes every word no other option matches.
    for (size_t i = 0; i < c.opciones.size(); ++i)
      if (c.opciones[i].mascaraCarga != 0 && Coincide(c.opciones[i], w)) {
        v = static_cast<int>(i);
        return;
      }
    for (size_t i = 0; i < c.opciones.size(); ++i)
      if (c.opciones[i].mascaraCarga == 0) {
        v = static_cast<int>(i);
        return;
      }
  });
  if (t.conservaLibres) {
    e.libres.resize(t.base.size());
    for (size_t i = 0; i < e.libres.size(); ++i) e.libres[i] = Palabra(config, i) & Bits(mascara, i);
  }
  if (t.ajustaEstado) t.ajustaEstado(dispositivo, e);
  return e;
}

std::vector<uint16_t> BitsLibres(const TTablaConf& t, int dispositivo) {
  std::vector<uint16_t> libres(t.base.size());
  const std::vector<uint16_t> mascara = MascaraDe(t, dispositivo);
  for (size_t i = 0; i < libres.size(); ++i) libres[i] = t.ancho & Bits(mascara, i);
  const int grupo = GrupoDe(t, dispositivo);
  ParaCada(t, [&](int, int g, const TControlConf& c) {
    if (g == grupo && En(c.soloEn, dispositivo) && c.palabra < libres.size())
      libres[c.palabra] &= static_cast<uint16_t>(~c.mascara);
  });
  return libres;
}

std::vector<uint16_t> PalabrasConf(const TTablaConf& t, int dispositivo, const TEstadoConf& e) {
  std::vector<uint16_t> w = t.base;
  const int grupo = GrupoDe(t, dispositivo);
  ParaCada(t, [&](int n, int g, const TControlConf& c) {
    if (g != grupo || !En(c.soloEn, dispositivo) || c.palabra >= w.size() || !Cuenta(t, n, e)) return;
    const int v = static_cast<size_t>(n) < e.valores.size() ? e.valores[static_cast<size_t>(n)] : -1;
    if (v < 0 || v >= static_cast<int>(c.opciones.size())) return;  // none chosen: all ones
    // Built from all ones, a field only clears: the bits of its mask its
    // value does not set.
    w[c.palabra] &= static_cast<uint16_t>(~(c.mascara & ~c.opciones[static_cast<size_t>(v)].guarda));
  });
  if (t.conservaLibres && e.libres.size() >= w.size()) {
    const std::vector<uint16_t> libres = BitsLibres(t, dispositivo);
    for (size_t i = 0; i < w.size(); ++i)
      w[i] = static_cast<uint16_t>((w[i] & ~libres[i]) | (e.libres[i] & libres[i]));
  }
  const std::vector<uint16_t> mascara = MascaraDe(t, dispositivo);
  for (size_t i = 0; i < w.size(); ++i) w[i] &= t.ancho & Bits(mascara, i);
  return w;
}

bool Cuenta(const TTablaConf& t, int n, const TEstadoConf& e) {
  const TSiConf& si = ControlN(t, n).si;
  if (si.control.empty()) return true;
  const int otro = BuscaControl(t, si.control);
  const int v = otro >= 0 && static_cast<size_t>(otro) < e.valores.size() ? e.valores[static_cast<size_t>(otro)] : -1;
  bool esta = false;
  for (int o : si.opciones) esta = esta || o == v;
  return esta != si.excepto;
}

void MascaraConf(const TTablaConf& t, int dispositivo, std::span<uint16_t> config) {
  const std::vector<uint16_t> mascara = MascaraDe(t, dispositivo);
  for (size_t i = 0; i < mascara.size() && i < config.size(); ++i) config[i] &= mascara[i];
}

void GuardaConf(const TTablaConf& t, int dispositivo, const TEstadoConf& e, std::span<uint16_t> id,
                std::span<uint16_t> config) {
  if (t.conId) BufferToID(id, e.id, t.ancho);
  const std::vector<uint16_t> w = PalabrasConf(t, dispositivo, e);
  for (size_t i = 0; i < w.size() && i < config.size(); ++i) config[i] = w[i];
}

// --- View --------------------------------------------------------------------------------

TVistaConf VistaConf(const TTablaConf& t, int dispositivo, const TEstadoConf* e) {
  TVistaConf v;
  v.grupo = GrupoDe(t, dispositivo);
  ParaCada(t, [&](int n, int g, const TControlConf& c) {
    TVistaControl vc;
    vc.visible = g == v.grupo && En(c.soloEn, dispositivo) && !En(c.ocultoEn, dispositivo) && (!e || Cuenta(t, n, *e));
    vc.habilitado = !En(c.deshabilitadoEn, dispositivo);
    vc.texto = TextoPara(c.textos, dispositivo, c.texto, c.nombre);
    for (const TOpcionConf& o : c.opciones)
      vc.opciones.push_back({!En(o.ocultoEn, dispositivo), !En(o.deshabilitadoEn, dispositivo),
                             TextoPara(o.textos, dispositivo, o.texto, o.nombre)});
    v.controles.push_back(std::move(vc));
  });
  if (e && t.ajustaVista) t.ajustaVista(dispositivo, *e, v);
  return v;
}

std::string Hex4(uint16_t valor) {
  char s[8];
  std::snprintf(s, sizeof s, "%04X", static_cast<unsigned>(valor));
  return s;
}
