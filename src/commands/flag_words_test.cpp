// An entry's flags in words at the end of its description file, with the
// English texts of the language file, as the host's viewer gets them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "commands/export_file.h"
#include "commands/test_host.h"
#include "panel/listing.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> EnglishMessages() {
  std::ifstream in(TOLVANE_SOURCE_DIR "/lang/Tolvane_eng.lng",
                   std::ios::binary);
  std::vector<std::string> messages;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line[0] == '"')
      messages.push_back(line.substr(1, line.size() - 2));
  }
  return messages;
}

class FlagWordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("tolvane-flags-" + std::to_string(std::rand()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::vector<std::string> messages = EnglishMessages();
    ASSERT_EQ(messages.size(), size_t{kMessageCount});
    for (int n = 0; n < kMessageCount; ++n) host.Texts[n] = messages[n];
    InstallTestHost(&host);
    UtcOffsetMinutes = 180;  // the panel shows UTC+3
  }
  void TearDown() override {
    UtcOffsetMinutes = 0;
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }

  // The description of a node with these flags, as the listing fills its
  // item: the flags column holds 63 characters, the block the rest.
  std::string Describe(const std::string& flags) {
    blocks.emplace_back(kUserDataBlockRoom + 1);
    unsigned char* block = blocks.back().data() + 1;  // at an odd address
    ItemUserData data = UserData(2, 5020, 7, 0, 7);
    EndpointList none;
    none.Count = 0;
    size_t rest = FlagsRestLength(flags.c_str(), flags.size());
    data.Size = WriteItemExtras(block, &none, flags.c_str() + 63, rest);
    WriteItemUserData(block, &data);
    PluginPanelItem item = host.Item("7", "7");
    item.UserData = reinterpret_cast<uintptr_t>(block);
    item.Flags |= PPIF_USERDATA;
    std::string column = flags.substr(0, 63);
    host.SetColumns(&item, {"", "", "", column.c_str(), "", "", "", "", ""});
    fs::remove(dir / "7");
    std::string destination = dir.string();
    EXPECT_EQ(PluginGetFiles(&item, 1, 0, destination.c_str(), OPM_VIEW), 1);
    std::ifstream in(dir / "7", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The lines after the nine that every file has, without CR LF.
  std::vector<std::string> FlagLines(const std::string& flags) {
    std::string text = Describe(flags);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2)
      lines.push_back(text.substr(start, end - start));
    EXPECT_GE(lines.size(), 9u);
    return std::vector<std::string>(lines.begin() + 9, lines.end());
  }

  fs::path dir;
  TestHost host;
  std::vector<std::vector<unsigned char>> blocks;
};

struct WordsCase {
  const char* Flags;
  std::vector<std::string> Lines;
};

TEST_F(FlagWordsTest, EachFlagSaysWhatItMeans) {
  const WordsCase cases[] = {
      {"IBN:24556,IBN:bbs.example.org:24555,IFT,INA,INA:f1.example.org,"
       "IMI:fido@example.org,INO4",
       {"IBN             : internet: binkp on port 24556",
        "IBN             : internet: binkp at bbs.example.org:24555",
        "IFT             : internet: ftp on the usual port 21",
        "INA             : internet: no host given",
        "INA             : internet: host f1.example.org for the protocol "
        "flags without one of their own",
        "IMI             : internet: mail by e-mail, MIME encoded "
        "(fido@example.org)",
        "INO4            : internet: no incoming IPv4 connections, IPv6 only"}},
      {"TXH,#02#09,!20,#24,T9A,GUUCP,V42b,PING,TEL,,CM",
       {"TXH             : time: online 23:00-07:00 UTC (02:00-10:00 local)",
        "#02#09          : mail hour: Zone 2, 02:30-03:30 UTC (05:30-06:30 "
        "local); Zone 1, 09:00-10:00 UTC (12:00-13:00 local)",
        "!20             : mail hour: Zone 6, 20:00-21:00 UTC (23:00-00:00 "
        "local)",
        "#24             : mail hour: cannot be read",
        "T9A             : time: cannot be read",
        "GUUCP           : gateway: to UUCP",
        "V42b            : modem: LAP-M with V.42bis compression, else MNP "
        "1-5",
        "PING            : robot: answers a netmail to PING, so that routes "
        "can be tested",
        "TEL             : internet: telnet, the older flag for ITN",
        "CM              : operation: takes mail at any hour"}},
      // User flags: after U, or with a U of their own; standard flags keep
      // their meaning there.
      {"ZEC,UNC,XYZ,U,ENC,TAB,IBN,OWN,#03,A-flag-longer-than-sixteen",
       {"ZEC             : user flag: zone echomail coordinator",
        "UNC             : user flag: network coordinator",
        "XYZ             : not a standard flag",
        "U               : user flag: the flags after it are user flags",
        "ENC             : user flag: takes encrypted mail",
        "TAB             : time: online 00:00-01:00 UTC (03:00-04:00 local)",
        "IBN             : internet: binkp on the usual port 24554",
        "OWN             : user flag: not a standard flag",
        "#03             : mail hour: 03:00-04:00 UTC (06:00-07:00 local)",
        "A-flag-longer-th: user flag: not a standard flag"}},
  };
  for (const WordsCase& c : cases)
    EXPECT_EQ(FlagLines(c.Flags), c.Lines) << c.Flags;
}

// Flags past the 63 characters of the flags column come from the block,
// up to 239 characters in all and whole flags only.
TEST_F(FlagWordsTest, LongFlagsAreDescribedWhole) {
  std::string flags = "CM,XA";
  for (int i = 10; i < 25; ++i)
    flags += ",INA:host" + std::to_string(i) + ".example.org";
  flags += ",U,ZEC";
  ASSERT_GT(flags.size(), 239u);
  std::string kept = flags.substr(0, flags.rfind(',', 239));
  std::string text = Describe(flags);
  EXPECT_NE(text.find("Flags           : " + kept + "\r\n"), std::string::npos)
      << text;
  std::vector<std::string> lines = FlagLines(flags);
  size_t count = 1;
  for (char c : kept) count += c == ',';
  ASSERT_EQ(lines.size(), count);
  EXPECT_EQ(lines.back().substr(0, 18), "INA             : ");
  EXPECT_NE(lines.back().find(kept.substr(kept.rfind(':') + 1)),
            std::string::npos);
  // A line of 104 characters, as published, keeps every flag.
  std::string published =
      "INA:fido.bajer.cz,IBN,IFC,ITN:2030,IVM,V110L,V110H,V120L,V120H,X75,"
      "V90S,X2S,VFC,V32T,H16,XX,CM,U,NEC,REC";
  EXPECT_EQ(FlagLines(published).back(),
            "REC             : user flag: region echomail coordinator");
}

}  // namespace
