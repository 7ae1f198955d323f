// Device change: the hook the main window installs, and the index checks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grabador.h"
#include "pg_catalogo.h"
#include "pg_err.h"
#include "pg_pic.h"

namespace {

class Gancho : public TGanchoDispositivo {
public:
  struct Cambio {
    uint8_t anterior, nuevo;
    uint32_t progTam;  // what the record held when the editor was asked
    bool operator==(const Cambio&) const = default;
  };
  std::vector<Cambio> Cambios;
  int Hints = 0;
  void CambiaEditorConf(uint8_t anterior, uint8_t nuevo) override {
    Cambios.push_back({anterior, nuevo, PicActual.ProgTam});
  }
  void PonHints() override { ++Hints; }
};

class Dispositivo : public ::testing::Test {
protected:
  Gancho gancho;
  TGrabador grabador;
  void SetUp() override {
    PonBuscaTextoError([](const std::string& clave) { return "<" + clave + ">"; });
    ClaseDispositivo = 0;
    IndiceListPics = IndiceListPicsC = IndiceListEeprom = 0;
    EstadoEditorConf = EdNinguno;
    PonGanchoDispositivo(&gancho);
  }
  void TearDown() override {
    PonGanchoDispositivo(nullptr);
    PonBuscaTextoError(nullptr);
  }
  uint8_t Pon(uint8_t clase, uint8_t indice) {
    ClaseDispositivo = clase;
    (clase == 1 ? IndiceListPicsC : clase == 2 ? IndiceListEeprom : IndiceListPics) = indice;
    return PonDispositivo();
  }
};

TEST_F(Dispositivo, EditorSwapIsAskedWithOldAndNewState) {
  ASSERT_EQ(Pon(0, 44), 0);   // 16F877
  ASSERT_EQ(Pon(0, 42), 0);   // 16F876: same editor
  ASSERT_EQ(Pon(0, 98), 0);   // 30F2010
  ASSERT_EQ(Pon(0, 29), 0);   // 16F84
  ASSERT_EQ(Pon(0, 46), 0);   // 18F242-2439
  ASSERT_EQ(Pon(0, 48), 0);   // 18F252-2539: same editor, SetPic again
  ASSERT_EQ(Pon(2, 3), 0);    // 24C08: no editor
  ASSERT_EQ(Pon(1, 5), 0);    // 16C64
  const std::vector<Gancho::Cambio> esperado = {
      {255, 1, 8192}, {1, 1, 8192}, {1, 8, 8192}, {8, 0, 1024},
      {0, 2, 8192}, {2, 2, 16384}, {2, 255, 1024}, {255, 7, 2048}};
  EXPECT_EQ(gancho.Cambios, esperado);
  EXPECT_EQ(gancho.Hints, 8);
  EXPECT_EQ(EstadoEditorConf, 7);
}

TEST_F(Dispositivo, NameOfTheEntriesWithTwoPartNumbers) {
  ASSERT_EQ(Pon(0, 46), 0);
  EXPECT_EQ(PicActual.Nombre, "18F242");
  EXPECT_EQ(PicActual.Familia, 18);
  EXPECT_EQ(PicActual.TiempoPgm, 1);
  EXPECT_STREQ(EntradaCatalogo(0, 46)->Texto, " 18F242-2439");
}

TEST_F(Dispositivo, IndexOutsideTheListChangesNothing) {
  struct Caso {
    uint8_t clase, indice;
  };
  // Past the end of each list, and a combo with nothing selected (-1).
  const Caso casos[] = {{0, 122}, {1, 38}, {2, 10}, {0, IndiceDeItem(-1)},
                        {1, IndiceDeItem(-1)}, {2, IndiceDeItem(-1)}, {255, 200}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(std::to_string(c.clase) + "/" + std::to_string(c.indice));
    ASSERT_EQ(Pon(0, 92), 0);  // 18F4550: USB group, its own editor
    const TPic antes = PicActual;
    gancho.Cambios.clear();
    gancho.Hints = 0;
    grabador.Mensajes.clear();
    grabador.Lineas.clear();
    EXPECT_EQ(Pon(c.clase, c.indice), 1);
    EXPECT_EQ(PicActual, antes);
    EXPECT_EQ(GrupoModUSB, 1);
    EXPECT_EQ(EstadoEditorConf, EdFC_18FModUSB);
    EXPECT_TRUE(gancho.Cambios.empty());
    EXPECT_EQ(gancho.Hints, 0);
    EXPECT_EQ(ContextoError.Codigo, 17u);
    EXPECT_EQ(grabador.Mensajes, std::vector<std::string>{"<11*> <22*>"});
    EXPECT_EQ(grabador.Lineas, std::vector<std::string>{" <18*>"});
  }
}

TEST_F(Dispositivo, ExecutiveFieldsStayFromTheLastDsPic) {
  ASSERT_EQ(Pon(0, 121), 0);
  ASSERT_EQ(Pon(0, 44), 0);
  EXPECT_EQ(PicActual.Familia, 16);
  EXPECT_EQ(PicActual.ExecTam, 1472);
  EXPECT_EQ(PicActual.ExecIni, 0x800000);
}

TEST_F(Dispositivo, SocketOfTheDetectedIndexFollowsTheClass) {
  ClaseDispositivo = 0;
  EXPECT_EQ(DaZocalo(55), 0);
  EXPECT_EQ(DaZocalo(56), 1);
  EXPECT_EQ(DaZocalo(255), 1);   // nothing identified
  EXPECT_EQ(DaZocalo(1000), 1);
  ClaseDispositivo = 1;
  EXPECT_EQ(DaZocalo(29), 0);
  EXPECT_EQ(DaZocalo(30), 1);
  ClaseDispositivo = 2;
  EXPECT_EQ(DaZocalo(0), 1);
}

TEST(Buffers, ClearsFillEveryCellOfTheirArea) {
  PicActual.ProgMask = 0x3FFF;
  ContextoError.LineaHex = 40;
  BufArchivo.Prog.back() = 1;
  BufArchivo.Exec.front() = 1;
  LimpiaBufferB();
  EXPECT_EQ(ContextoError.LineaHex, 0);
  auto todas = [](const auto& area, uint16_t valor) {
    for (uint16_t c : area) if (c != valor) return false;
    return true;
  };
  EXPECT_TRUE(todas(BufArchivo.Prog, 0x3FFF));
  EXPECT_TRUE(todas(BufArchivo.Datos, 0x3FFF));
  EXPECT_TRUE(todas(BufArchivo.Config, 0x3FFF));
  EXPECT_TRUE(todas(BufArchivo.Id, 0x3FFF));
  EXPECT_TRUE(todas(BufArchivo.Exec, 0xFFFF));

  LimpiaProg(BufDispositivo.Prog, 0x0FFF);
  LimpiaDatos(BufDispositivo.Datos, 0xFF);
  LimpiaConfig(BufDispositivo.Config, 0);
  LimpiaId(BufDispositivo.Id, 7);
  LimpiaExec(BufDispositivo.Exec);
  EXPECT_TRUE(todas(BufDispositivo.Prog, 0x0FFF));
  EXPECT_TRUE(todas(BufDispositivo.Datos, 0xFF));
  EXPECT_TRUE(todas(BufDispositivo.Config, 0));
  EXPECT_TRUE(todas(BufDispositivo.Id, 7));
  EXPECT_TRUE(todas(BufDispositivo.Exec, 0xFFFF));
  // The file set is a separate image.
  EXPECT_TRUE(todas(BufArchivo.Prog, 0x3FFF));
}

}  // namespace
