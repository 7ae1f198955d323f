#include "casos_conf.h"

#include <gtest/gtest.h>

#include <random>

#include "pg_catalogo.h"
#include "pg_pic.h"

namespace {

std::string Hex(const std::vector<uint16_t>& w) {
  std::string s;
  for (uint16_t v : w) s += Hex4(v) + " ";
  return s;
}

}  // namespace

TEstadoConf EstadoDe(const TTablaConf& t, int dispositivo, const TMarcados& marcados, uint16_t id) {
  TEstadoConf e;
  e.id = id;
  e.valores.assign(static_cast<size_t>(NumControles(t)), -1);
  TMarcados usados;
  for (int n = 0; n < NumControles(t); ++n) {
    const TControlConf& c = ControlN(t, n);
    int& v = e.valores[static_cast<size_t>(n)];
    if (c.clase == TClaseControl::Casilla) v = 0;
    if (!Aplica(t, n, dispositivo)) continue;
    if (c.clase == TClaseControl::Casilla) {
      if (marcados.count(c.nombre)) {
        v = 1;
        usados.insert(c.nombre);
      }
      continue;
    }
    for (size_t i = 0; i < c.opciones.size(); ++i)
      if (marcados.count(c.opciones[i].nombre)) {
        EXPECT_EQ(v, -1) << "two options of " << c.nombre;
        v = static_cast<int>(i);
        usados.insert(c.opciones[i].nombre);
      }
  }
  for (const std::string& m : marcados)
    EXPECT_TRUE(usados.count(m)) << m << " is no applicable control of device " << dispositivo;
  return e;
}

TMarcados MarcadosDe(const TTablaConf& t, int dispositivo, const TEstadoConf& e) {
  TMarcados m;
  for (int n = 0; n < NumControles(t); ++n) {
    if (!Aplica(t, n, dispositivo)) continue;
    const TControlConf& c = ControlN(t, n);
    const int v = e.valores[static_cast<size_t>(n)];
    if (c.clase == TClaseControl::Casilla) {
      if (v == 1) m.insert(c.nombre);
    } else if (v >= 0) {
      m.insert(c.opciones[static_cast<size_t>(v)].nombre);
    }
  }
  return m;
}

void CompruebaCarga(const TTablaConf& t, const TCasoCarga& c) {
  SCOPED_TRACE("device " + std::to_string(c.dispositivo) + " words " + Hex(c.entra));
  uint16_t id[4] = {0x3FF1, 0x3FF2, 0x3FF3, 0x3FF4};
  const TEstadoConf e = CargaConf(t, c.dispositivo, id, c.entra);
  EXPECT_EQ(MarcadosDe(t, c.dispositivo, e), c.marcados);
  std::vector<uint16_t> sale(t.base.size(), 0);
  uint16_t idSale[4] = {};
  GuardaConf(t, c.dispositivo, e, idSale, sale);
  EXPECT_EQ(Hex(sale), Hex(c.sale));
  if (t.conId) {
    EXPECT_EQ(IDtoBuffer(idSale), 0x1234);
  }
}

void CompruebaGuarda(const TTablaConf& t, const TCasoGuarda& c) {
  SCOPED_TRACE("device " + std::to_string(c.dispositivo));
  std::vector<uint16_t> sale(t.base.size(), 0);
  uint16_t id[4] = {};
  GuardaConf(t, c.dispositivo, EstadoDe(t, c.dispositivo, c.marcados), id, sale);
  ASSERT_EQ(sale.size(), c.sale.size());
  for (size_t i = 0; i < sale.size(); ++i) {
    const uint16_t m = c.mascara.empty() ? 0xFFFF : c.mascara[i];
    EXPECT_EQ(Hex4(sale[i] & m), Hex4(c.sale[i])) << "word " << i;
  }
}

std::vector<int> DispositivosDe(uint8_t clase, uint8_t tipo) {
  std::vector<int> d;
  const auto lista = ListaCatalogo(clase);
  for (size_t i = 0; i < lista.size(); ++i)
    if (lista[i].Editor == tipo) d.push_back(static_cast<int>(i));
  return d;
}

void Barrido(const TTablaConf& t, const std::set<std::string>& perdidos) {
  std::mt19937 azar(0x16F84);
  const std::vector<int> dispositivos = DispositivosDe(t.claseLista, t.tipo);
  ASSERT_FALSE(dispositivos.empty());
  for (int d : dispositivos) {
    SCOPED_TRACE("device " + std::to_string(d));
    std::vector<uint16_t> fieles(t.base.size(), 0), cubiertos(t.base.size(), 0);
    for (int n = 0; n < NumControles(t); ++n) {
      if (!Aplica(t, n, d)) continue;
      const TControlConf& c = ControlN(t, n);
      cubiertos[c.palabra] |= c.mascara;
      if (!perdidos.count(c.nombre)) fieles[c.palabra] |= c.mascara;
    }
    for (int vuelta = 0; vuelta < 300; ++vuelta) {
      std::vector<uint16_t> w(t.base.size());
      for (uint16_t& p : w) p = static_cast<uint16_t>(azar()) & t.ancho;
      std::vector<uint16_t> s1(w.size()), s2(w.size());
      uint16_t id[4] = {0x3FF5, 0x3FFA, 0x3FF0, 0x3FFF}, id1[4], id2[4];
      GuardaConf(t, d, CargaConf(t, d, id, w), id1, s1);
      GuardaConf(t, d, CargaConf(t, d, id1, s1), id2, s2);
      ASSERT_EQ(Hex(s1), Hex(s2)) << "from " << Hex(w);
      // Bits the device lacks (the table's mask) are 0 after a load.
      const std::vector<uint16_t> m = t.mascara ? t.mascara(d) : std::vector<uint16_t>{};
      for (size_t i = 0; i < w.size(); ++i) {
        const uint16_t bits = i < m.size() ? m[i] : 0xFFFF;
        ASSERT_EQ(Hex4(s1[i] & fieles[i]), Hex4(w[i] & bits & fieles[i])) << "word " << i << " from " << Hex(w);
        // Bits no field covers: the base word's, or kept as loaded.
        const uint16_t libres = static_cast<uint16_t>(t.ancho & ~cubiertos[i]);
        const uint16_t esperado = t.conservaLibres ? w[i] : t.base[i];
        ASSERT_EQ(Hex4(s1[i] & libres), Hex4(esperado & bits & libres)) << "word " << i << " from " << Hex(w);
      }
      if (t.conId) {
        ASSERT_EQ(IDtoBuffer(id1), 0x5A0F);
      }
    }
  }
}

void CompruebaVista(const TTablaConf& t, const TCasoVista& c) {
  SCOPED_TRACE(std::string(c.nombre) + " on device " + std::to_string(c.dispositivo));
  TEstadoConf e = CargaConf(t, c.dispositivo, {}, {});
  const TVistaConf v = VistaConf(t, c.dispositivo, &e);
  bool visible = false, habilitado = false;
  std::string texto;
  const auto [n, o] = BuscaOpcion(t, c.nombre, c.dispositivo);
  if (n >= 0) {
    const TVistaControl& vc = v.controles[static_cast<size_t>(n)];
    const TVistaOpcion& vo = vc.opciones[static_cast<size_t>(o)];
    visible = vc.visible && vo.visible;
    habilitado = vc.habilitado && vo.habilitado;
    texto = vo.texto;
  } else {
    for (int i = 0; i < NumControles(t); ++i)
      if (ControlN(t, i).nombre == c.nombre && Aplica(t, i, c.dispositivo)) {
        const TVistaControl& vc = v.controles[static_cast<size_t>(i)];
        visible = vc.visible;
        habilitado = vc.habilitado;
        texto = vc.texto;
        break;
      }
  }
  EXPECT_EQ(visible, c.visible);
  if (c.visible) {
    EXPECT_EQ(habilitado, c.habilitado);
  }
  if (c.texto) {
    EXPECT_EQ(texto, c.texto);
  }
}
