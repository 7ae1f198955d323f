// The PIC18 engine on the firmware programmer: a simulated board on a
// pseudo-terminal with a simulated 18F452 or 18F4550 in its socket.

#include "banco_pic18.h"
#include "flash/pg_flash.h"
#include "chips/pic18_fw.h"

namespace {

class Fw18 : public BancoFw, public ::testing::WithParamInterface<uint8_t> {
protected:
  void SetUp() override {
    BancoFw::SetUp();
    ClaseDispositivo = 0;
    IndiceListPics = GetParam();
    PonDispositivo();
    memoria = std::make_unique<TMemoriaPic18>(ModeloDe(GetParam()));
    chip18 = std::make_unique<TPic18Fw>(*memoria);
    CierraPuerto(false);
    placa = std::make_unique<TPlacaFw>(*chip18);
    Abre();
    Zocalo2 = false;
    TipoAccion = 0;
    ProgresoFw = {};
    RetardoPgm = PicActual.TiempoPgm;
  }
  // The board's own view, with its thread held.
  template <typename F>
  auto EnChip(F&& f) {
    return placa->Con(std::forward<F>(f));
  }
  std::vector<TOrdenFw> Ordenes() {
    return EnChip([&] { return chip18->Ordenes; });
  }

  // Programs the test image and checks the part holds it; the image.
  TBuffers ProgramaImagen() {
    ImagenPrueba18(memoria->Modelo());
    const TBuffers imagen = BufDispositivo;
    EXPECT_FALSE(ProgramaPic()) << ContextoError.Codigo << " at " << ContextoError.Direccion;
    EnChip([&] {
      EsperaMemoriaIgual(*memoria, imagen);
      return 0;
    });
    return imagen;
  }

  std::unique_ptr<TMemoriaPic18> memoria;
  std::unique_ptr<TPic18Fw> chip18;
};

TEST_P(Fw18, ProgramsVerifiesAndReadsBack) {
  EnChip([&] {
    memoria->PonPalabraProg(100, 0x0000);
    memoria->Ee[7] = 0x00;
    return 0;
  });
  const TBuffers imagen = ProgramaImagen();
  if (HasFatalFailure()) return;
  BufArchivo = imagen;
  LimpiaBuffers(BufDispositivo);
  ASSERT_FALSE(VerificaPic()) << ContextoError.Codigo << " at " << ContextoError.Direccion;
  EsperaLeidoIgual(imagen);
  EXPECT_TRUE(placa->Errores().empty());
  EXPECT_TRUE(ventana.Mensajes.empty());
}

// Through the board as on the pin-level link: a protected part reads as
// zeros, and programming takes whole because the erase comes first.
TEST_P(Fw18, AProtectedPartReadsZeroAndProgramsOnlyAfterTheErase) {
  EnChip([&] {
    memoria->PonPalabraProg(100, 0x1234);
    memoria->Ee[7] = 0x5A;
    memoria->Config[8] = 0x00;
    memoria->Config[9] = 0x00;
    return 0;
  });
  ASSERT_FALSE(LeerPic()) << ContextoError.Codigo << " at " << ContextoError.Direccion;
  EXPECT_EQ(BufDispositivo.Prog[100], 0u);
  EXPECT_EQ(BufDispositivo.Datos[7], 0u);
  EXPECT_EQ(BufDispositivo.Config[4], 0u);
  EXPECT_EQ(ventana.Mensajes.size(), 1u) << "the read did not say the part is protected";

  ProgramaImagen();
  EXPECT_TRUE(placa->Errores().empty());
}

// A cleared image holds all ones in its data EEPROM cells, wider than the
// part's bytes: programming it is no verify error at the first byte.
TEST_P(Fw18, ClearedDataEepromProgramsAsBlankBytes) {
  ImagenPrueba18(memoria->Modelo());
  LimpiaDatos(BufDispositivo.Datos, 0xFFFF);
  BufDispositivo.Datos[3] = 0x5A;
  ASSERT_FALSE(ProgramaPic()) << ContextoError.Codigo << " at " << ContextoError.Direccion;
  EXPECT_EQ(EnChip([&] { return memoria->Ee[3]; }), 0x5A);
  EXPECT_EQ(EnChip([&] { return memoria->Ee[4]; }), 0xFF);
  EXPECT_TRUE(ventana.Mensajes.empty());
}

TEST_P(Fw18, CommandsCarryAreaKindsAddressesAndFlags) {
  Zocalo2 = true;
  ImagenPrueba18(memoria->Modelo());
  ASSERT_FALSE(ProgramaPic());
  ASSERT_FALSE(LeerPic());
  const uint8_t nuevo = GrupoModUSB;
  const uint8_t z2 = static_cast<uint8_t>(1 ^ (nuevo ? 2 : 0));
  using B = std::array<uint8_t, 8>;
  const std::vector<B> esperado = {
      {'>', '8', static_cast<uint8_t>(nuevo ? 126 : 127), 0, 8, 0x7F, 0, 1},
      {'>', '7', 0xFF, 0x0F, 0x00, 0, z2, 1},   // 4096 panels
      {'>', '7', 0x01, 0x00, 0x20, 1, z2, 1},   // two ID panels
      {'>', '7', 0xFF, 0x00, 0x78, 2, z2, 1},   // 256 EEPROM bytes
      {'>', '7', 0x07, 0x00, 0x30, 3, z2, 1},   // 7 configuration words
      {'>', '3', 0xFF, 0x3F, 0x00, 0x00, 0x00, 1},
      {'>', '3', 0x03, 0x00, 0x20, 0x00, 0x00, 1},
      {'>', '3', 0x06, 0x00, 0x30, 0x00, 0x00, 1},
      {'>', '2', 0xFF, 0x00, nuevo, 0, 0, 1},
  };
  const auto ordenes = Ordenes();
  ASSERT_EQ(ordenes.size(), esperado.size());
  for (std::size_t i = 0; i < esperado.size(); ++i) EXPECT_EQ(ordenes[i].b, esperado[i]) << "command " << i;
}

TEST_P(Fw18, EraseReplyWithAnotherTypeIsErrorTwentyFour) {
  // A board that answers as if it had run the other family's erase.
  struct TOtro final : TChipFw {
    uint16_t IdDispositivo(char, bool) override { return 0; }
    TBloqueFw Bloque(const TOrdenFw&) override { return {}; }
    std::vector<uint8_t> Borra(const TOrdenFw& o) override {
      return {0, 0, static_cast<uint8_t>(o.b[2] ^ 1)};
    }
  } otro;
  CierraPuerto(false);
  placa = std::make_unique<TPlacaFw>(otro);
  Abre();
  EXPECT_TRUE(ProgramaPic());
  EXPECT_EQ(ContextoError.Codigo, ErrBorrado);
  placa.reset();  // before `otro` goes
}

TEST_P(Fw18, AWordThatDoesNotTakeIsErrorEleven) {
  // Not erased: the programmed bit stays 0; the board reports the word.
  EnChip([&] {
    memoria->PonPalabraProg(4 * 7 + 2, 0x00FF);
    return 0;
  });
  for (uint32_t i = 0; i < 40; ++i) BufDispositivo.Prog[i] = 0x1234;
  EXPECT_TRUE(ProgramaZona18(BufDispositivo.Prog.data(), 0, 9, "P", Programa18Codigo, 0xFFFF));
  EXPECT_EQ(ContextoError.Codigo, ErrEscritura);
  EXPECT_EQ(ContextoError.Direccion, 4u * 7 + 2);  // the board counts in words
  EXPECT_EQ(ContextoError.Esperado, 0x1234);
  EXPECT_EQ(ContextoError.Leido, 0x0034);
}

TEST_P(Fw18, CancelInMidReadIsErrorTwentyTwo) {
  ventana.AlBombear = [](uint32_t n) {
    if (n == 50) Cancelado = true;
  };
  EXPECT_TRUE(LeerPic());
  EXPECT_EQ(ContextoError.Codigo, ErrCancelado);
  ventana.AlBombear = nullptr;
  Cancelado = false;
}

TEST_P(Fw18, CancelInMidProgrammingIsErrorTwentyTwoAndTheLinkWorksOn) {
  ImagenPrueba18(memoria->Modelo());
  ventana.AlBombear = [](uint32_t n) {
    if (n == 5) Cancelado = true;
  };
  EXPECT_TRUE(ProgramaPic());
  EXPECT_EQ(ContextoError.Codigo, ErrCancelado);
  EXPECT_TRUE(PuertoFw().Abierto());
  ventana.AlBombear = nullptr;
  Cancelado = false;
  const TBuffers imagen = BufDispositivo;
  ContextoError = {};
  ASSERT_FALSE(ProgramaPic()) << ContextoError.Codigo << " at " << ContextoError.Direccion << " "
                              << ContextoError.Esperado << " " << ContextoError.Leido;
  ASSERT_FALSE(LeerPic());
  EsperaLeidoIgual(imagen);
}

INSTANTIATE_TEST_SUITE_P(Partes, Fw18, ::testing::Values(Indice18F452, Indice18F4550),
                         [](const auto& info) {
                           return std::string(info.param == Indice18F452 ? "F452" : "F4550");
                         });

}  // namespace
