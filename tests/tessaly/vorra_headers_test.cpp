// Every option value of the shipped vorra.ini against the gputils processor
// header of its part: the device is loaded as the program loads it, and
// each enabled option's value (and Off value) must be the header's symbol
// of that setting on the option's mask, the mask the setting's own bits.
// Names that differ and options a header lacks are listed, with reasons,
// in vorra_headers.txt beside this test.
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "cabecera_gputils.h"
#include "tessaly_fixture.h"
#include "ts_app.h"
#include "ts_config.h"

namespace {

struct TListed {
  std::vector<std::string> Symbols;  // empty: the header lacks the option
  std::string Reason;
  bool Used = false;
};
using TListedMap = std::map<std::pair<std::string, std::string>, TListed>;

TListedMap ReadListed(const std::string& path) {
  TListedMap m;
  std::ifstream in(path);
  EXPECT_TRUE(in) << path;
  std::string line;
  static const std::regex entry(R"(^(\S+)\s+(\S+)\s+(=\s*(.*?)|-)\s*;\s*(.*\S)\s*$)");
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::smatch s;
    if (!std::regex_match(line, s, entry)) {
      ADD_FAILURE() << "not an entry with its reason: " << line;
      continue;
    }
    TListed l;
    l.Reason = s[5];
    std::istringstream symbols(s[4].str());
    for (std::string w; symbols >> w;)
      if (w != "&") l.Symbols.push_back(w);
    EXPECT_TRUE(m.emplace(std::make_pair(s[1].str(), s[2].str()), l).second) << "listed twice: " << line;
  }
  return m;
}

// The usual header names of a key's setting, each spelling in turn.
std::vector<std::string> UsualNames(const std::string& key) {
  static const std::map<std::string, std::vector<std::string>> stems = {
      {"CPB", {"_CPB"}},       {"CPD", {"_CPD"}},           {"CPC", {"_CPC"}},       {"WDT", {"_WDT"}},
      {"PWRTE", {"_PWRTE", "_PWRT"}}, {"BODEN", {"_BODEN", "_BOR"}}, {"MPEEN", {"_MPEEN"}},
      {"MCLRE", {"_MCLRE"}},   {"LVP", {"_LVP"}},           {"WRT", {"_WRT"}},       {"DEBUG", {"_DEBUG"}},
      {"OSCSEN", {"_OSCSEN", "_OSCS"}}, {"WAIT", {"_WAIT"}}, {"CCP2MX", {"_CCP2MX"}},
      {"STVREN", {"_STVREN", "_STVR"}}};
  std::smatch m;
  const auto onOff = [&](const char* suffix, std::size_t n) -> std::vector<std::string> {
    const auto it = stems.find(key.substr(0, key.size() - n));
    if (it == stems.end()) return {};
    std::vector<std::string> names;
    for (const std::string& stem : it->second) names.push_back(stem + suffix);
    return names;
  };
  if (key.size() > 3 && key.ends_with("Osc")) {
    std::string kind = key.substr(0, key.size() - 3);
    const bool clockOut = kind.ends_with("CLKOUT");
    if (clockOut) kind.resize(kind.size() - 6);
    return {"_" + kind + "_OSC" + (clockOut ? "_CLKOUT" : "")};
  }
  if (key == "CPAll") return {"_CP_ALL"};
  if (key == "CPOff") return {"_CP_OFF"};
  if (std::regex_match(key, m, std::regex(R"(CP(\d+))"))) return {"_CP_" + m[1].str()};
  if (std::regex_match(key, m, std::regex(R"(VBOR(\d+))"))) return {"_BORV_" + m[1].str()};
  if (std::regex_match(key, m, std::regex(R"(WDT(\d+))"))) return {"_WDT_" + m[1].str(), "_WDTPS_" + m[1].str()};
  if (std::regex_match(key, m, std::regex(R"(BW(\d+))"))) return {"_BW_" + m[1].str()};
  if (key.ends_with("Mode")) return {"_" + key.substr(0, key.size() - 4) + "_MODE"};
  if (key.ends_with("Off")) return onOff("_OFF", 3);
  if (key.ends_with("On")) return onOff("_ON", 2);
  return {};
}

// One register of a header (a 12/14/17-bit part's configuration word, or
// a PIC18 part's CONFIG<n>L or H) and where its bits sit in the word.
struct TRegister {
  const TPalabraGputils* Word = nullptr;
  int Shift = 0;
};

// The symbol of that name in the register, a PIC18 header's register
// suffix (_1H, _2L, _3) allowed after it; and its setting.
bool Find(const TRegister& r, const std::string& name, uint32_t& value, uint32_t& mask) {
  static const std::regex suffix(R"(_\d+[LH]?)");
  for (const TAjusteGputils& a : r.Word->ajustes)
    for (const TSimboloGputils& s : a.simbolos)
      if (s.nombre == name ||
          (s.nombre.rfind(name, 0) == 0 && std::regex_match(s.nombre.substr(name.size()), suffix))) {
        value = s.valor;
        mask = a.mascara;
        return true;
      }
  return false;
}

class VorraHeadersTest : public TTessalyTest {};

TEST_F(VorraHeadersTest, EveryOptionValueIsTheHeadersSetting) {
  AppSettings.ProgramDirectory = ShippedDatabaseDir();
  ASSERT_TRUE(LoadDeviceList());
  TListedMap listed = ReadListed(TESSALY_TEST_DIR "/vorra_headers.txt");
  int agreeing = 0;
  for (const std::string& name : DeviceBox.Items) {
    SCOPED_TRACE(name);
    DeviceBox.Text = name;
    ASSERT_TRUE(LoadDevice());
    ASSERT_EQ(name.rfind("PIC", 0), 0u);
    const auto path = RutaCabeceraGputils(GPUTILS_HEADER_DIR, name.substr(3));
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::stringstream text;
    text << in.rdbuf();
    std::string source = text.str();
    // The 17C headers list their configuration symbols under a banner
    // alone, without the options line of the later headers.
    const auto banner = source.find(";       Configuration Bits");
    if (source.find(" Options ---") == std::string::npos && banner != std::string::npos)
      source.insert(source.find('\n', source.find("\n;====", banner) + 1) + 1, ";----- CONFIG Options ---\n");
    const TCabeceraGputils header = AnalizaCabeceraGputils(source);
    const bool core18 = DeviceParameters.CoreType == 18;
    if (!core18) {
      ASSERT_EQ(header.palabras.size(), 1u) << "one configuration word";
    }

    for (int i = 0; i < OptionItemCount; ++i) {
      const TOptionItem& item = OptionItems[i];
      if (!item.Enabled) continue;
      const int word = ConfigWordOf(item.Name);
      ASSERT_GE(word, 0) << item.Name << " has no place on this core";
      std::vector<TRegister> registers;
      if (core18) {
        for (const char* half : {"L", "H"}) {
          const TPalabraGputils* w = header.Palabra("CONFIG" + std::to_string(word + 1) + half);
          if (w) registers.push_back({w, *half == 'H' ? 8 : 0});
        }
      } else {
        registers.push_back({&header.palabras[0], 0});
      }
      const uint32_t groupMask = static_cast<uint32_t>(OptionGroups[item.Group].Mask);
      const std::pair<const char*, int32_t> values[] = {{item.ValueKey, item.Value}, {item.OffKey, item.Off}};
      for (const auto& [keyWithEquals, value] : values) {
        if (!keyWithEquals) continue;
        const std::string key(keyWithEquals, std::strlen(keyWithEquals) - 1);
        std::vector<std::vector<std::string>> symbols;  // each: its spellings
        const auto l = listed.find({name, key});
        if (l != listed.end()) {
          l->second.Used = true;
          if (l->second.Symbols.empty()) continue;  // the header lacks it
          for (const std::string& s : l->second.Symbols) symbols.push_back({s});
        } else {
          symbols.push_back(UsualNames(key));
        }
        // The header's value of the option over the whole word, and the
        // bits of the settings it takes.
        uint32_t expected = ~0u, settings = 0;
        bool found = true;
        for (const std::vector<std::string>& spellings : symbols) {
          bool here = false;
          for (const std::string& s : spellings)
            for (const TRegister& r : registers) {
              uint32_t v = 0, m = 0;
              if (here || !Find(r, s, v, m)) continue;
              const uint32_t field = core18 ? 0xFFu : ~0u;  // a PIC18 register is one byte
              expected &= ((v & field) << r.Shift) | ~(field << r.Shift);
              settings |= (m & field) << r.Shift;
              here = true;
            }
          if (!here) {
            ADD_FAILURE() << key << ": the header has no " << spellings.front() << " in configuration word "
                          << word;
            found = false;
          }
        }
        if (!found) continue;
        EXPECT_EQ(settings, groupMask) << key << ": the option's mask is not the header's setting";
        if ((expected & groupMask) == static_cast<uint32_t>(value)) ++agreeing;
        else
          ADD_FAILURE() << std::hex << std::uppercase << key << "=0x" << value << " where the header's "
                        << symbols.front().front() << " gives 0x" << (expected & groupMask) << " on the mask 0x"
                        << groupMask;
      }
    }
  }
  for (const auto& [where, l] : listed)
    EXPECT_TRUE(l.Used) << where.first << " " << where.second << " is listed but has no such option";
  std::printf("%d option values of vorra.ini agree with the gputils headers\n", agreeing);
}

}  // namespace
