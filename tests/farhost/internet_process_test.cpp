// How to reach nodes over the internet, through the real entry points: the
// panel's column C9, `tolvane ls --format json`, `tolvane connect` and
// `tolvane binkd` on the sample and on the real nodelists compiled at test
// time. The tolvane program reads the endpoints from the description
// files, so these runs also check the lines the plugin writes there.
#include <filesystem>
#include <sstream>

#include "farhost/sys/sys.h"
#include "panel_fixture.h"

namespace {

class InternetTest : public PanelTest {
 protected:
  ToolRun Tolvane(const std::string& arguments) {
    return RunTool("tolvane", "--plugin " + SysQuoteArgument(TestPluginPath()) +
                                  " --root-key " + SysQuoteArgument(rootKey_) +
                                  " --lang English " + arguments);
  }
  // The C9 text of the item named `name` in the panel at `path`.
  std::string InternetColumn(const char* path, const char* name) {
    PanelModel* panel = Open(path);
    if (panel == nullptr) return "(no panel)";
    int index = FindItemByName(*panel, name);
    if (index < 0) return "(no item)";
    const PluginPanelItem& item = panel->Items[static_cast<size_t>(index)];
    std::string text = item.CustomColumnNumber > 9 && item.CustomColumnData
                           ? item.CustomColumnData[9]
                           : "(no column)";
    ClosePanel(host_.get(), panel, 1);
    return text;
  }
};

TEST_F(InternetTest, TheSampleShowsItsEndpoints) {
  EXPECT_EQ(InternetColumn("2:5020", "105"), "metro.example.ru:24554");
  EXPECT_EQ(InternetColumn("2:5020", "104"), "dacha.example.ru:24556");
  EXPECT_EQ(InternetColumn("2:5020", "100"), "");  // IBN, but no host
  EXPECT_EQ(InternetColumn("1:115", "3"), "seastack.example.org:24554");
  EXPECT_TRUE(BoxesOf(ui_).empty());

  ToolRun json = Tolvane("ls 2:5020/105 --format json");
  ASSERT_EQ(json.Status, 0) << json.Err;
  std::string endpoints;
  const char* const kEndpoints[][4] = {
      {"binkp", "metro.example.ru", "24554", "INA"},
      {"telnet", "metro.example.ru", "23", "INA"},
      {"binkp", "2001:db8:5020::105", "24555", "IBN"}};
  for (const auto& e : kEndpoints)
    endpoints += std::string(endpoints.empty() ? "" : ",\n") +
                 "      {\n        \"protocol\": \"" + e[0] +
                 "\",\n        \"host\": \"" + e[1] +
                 "\",\n        \"port\": " + e[2] +
                 ",\n        \"source\": \"" + e[3] + "\"\n      }";
  EXPECT_NE(json.Out.find("    \"internet\": [\n" + endpoints + "\n    ],\n"),
            std::string::npos)
      << json.Out;

  // A node with its points, a sysop search, a net with another domain.
  const struct {
    const char* Path;
    const char* Options;
    const char* Out;
  } binkd[] = {
      {"2:5020/105", "",
       "node 2:5020/105@fidonet "
       "metro.example.ru:24554;[2001:db8:5020::105]:24555\n"},
      {"2:5020/100", "", ""},
      {"?Khabib", "", "node 2:5020/104@fidonet dacha.example.ru:24556\n"},
      {"1:115", " --domain fidonet.org",
       "node 1:115/3@fidonet.org seastack.example.org:24554\n"},
  };
  for (const auto& c : binkd) {
    ToolRun run = Tolvane("binkd " + SysQuoteArgument(c.Path) + c.Options);
    EXPECT_EQ(run.Status, 0) << c.Path << "\n" << run.Err;
    EXPECT_EQ(run.Out, c.Out) << c.Path;
  }
  EXPECT_EQ(Tolvane("binkd --domain " + SysQuoteArgument("two words")).Status,
            2);
}

// One entry per rule of the endpoints that lines of the published lists
// do not show: each nodelist line, what `tolvane connect` prints for it,
// and the binkd line of it.
struct LineCase {
  const char* Line;
  const char* Connect;
  const char* Binkd;
};

const LineCase kLines[] = {
    // At the bound of eight, binkp displaces the last other endpoints.
    {",1,Bound_BBS,Town,Sysop,-Unpublished-,300,ITN,IFC,IVM,IFT,IBN,"
     "INA:a.example.org,INA:b.example.org",
     "2:5/1\ttelnet\ta.example.org\t23\tINA\n"
     "2:5/1\ttelnet\tb.example.org\t23\tINA\n"
     "2:5/1\tifcico\ta.example.org\t60179\tINA\n"
     "2:5/1\tifcico\tb.example.org\t60179\tINA\n"
     "2:5/1\tvmodem\ta.example.org\t3141\tINA\n"
     "2:5/1\tvmodem\tb.example.org\t3141\tINA\n"
     "2:5/1\tbinkp\ta.example.org\t24554\tINA\n"
     "2:5/1\tbinkp\tb.example.org\t24554\tINA\n",
     "node 2:5/1@fidonet a.example.org:24554;b.example.org:24554\n"},
    // A final dot on an own host; an INA port for binkp, not for telnet;
    // the port of the IBN flag wins over the INA port.
    {",2,Dot_BBS,Town,Sysop,-Unpublished-,300,IBN:bbs.example.net.:24556",
     "2:5/2\tbinkp\tbbs.example.net.\t24556\tIBN\n",
     "node 2:5/2@fidonet bbs.example.net.:24556\n"},
    {",3,Port_BBS,Town,Sysop,-Unpublished-,300,INA:hub.example.us:24556,IBN,"
     "ITN,IBN:24555",
     "2:5/3\tbinkp\thub.example.us\t24556\tINA\n"
     "2:5/3\ttelnet\thub.example.us\t23\tINA\n"
     "2:5/3\tbinkp\thub.example.us\t24555\tINA\n",
     "node 2:5/3@fidonet hub.example.us:24556;hub.example.us:24555\n"},
    // An unusable INA host: no fallback to the system name or the phone.
    {",4,old.example.org,Town,Sysop,000-192-0-2-4,300,IBN,"
     "INA:new_example_org",
     "", ""},
    // The system name is a host only under a top-level domain, in any
    // case, with or without a final dot.
    {",6,St.Petersburg,Town,Sysop,-Unpublished-,300,IBN", "", ""},
    {",7,DREAMWEB.BBS,Town,Sysop,-Unpublished-,300,IBN", "", ""},
    {",8,BBS.EXAMPLE.SE.,Town,Sysop,-Unpublished-,300,ITN",
     "2:5/8\ttelnet\tBBS.EXAMPLE.SE.\t23\tsystem name\n", ""},
    // A Hold system takes no calls: connect shows it, binkd leaves it out.
    {"Hold,9,Sleepy_BBS,Town,Sysop,-Unpublished-,300,IBN:sleepy.example.org",
     "2:5/9\tbinkp\tsleepy.example.org\t24554\tIBN\n", ""},
};

TEST_F(InternetTest, EndpointRulesOnLines) {
  std::string nodelist =
      "Zone,2,Zone_Two,Europe,Zed,-Unpublished-,300\r\n"
      "Host,5,Net_Five,Town,Hal,-Unpublished-,300\r\n";
  std::string addresses, connect, binkd;
  for (const LineCase& c : kLines) {
    nodelist += std::string(c.Line) + "\r\n";
    std::string line = c.Line;
    size_t number = line.find(',') + 1;
    addresses += " 2:5/" + line.substr(number, line.find(',', number) - number);
    connect += c.Connect;
    binkd += c.Binkd;
  }
  TempFolder out;
  ASSERT_EQ(CompileNodelist(out.Path(), nodelist, "").Status, 0);
  std::string folder = " --nodelist " + SysQuoteArgument(out.Path());
  ToolRun run = Tolvane("connect" + addresses + folder);
  EXPECT_EQ(run.Status, 1);  // the lines without an endpoint
  EXPECT_EQ(run.Out, connect);
  run = Tolvane("binkd" + folder);
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out, binkd);
  WriteText("Path to nodelist", SysJoinPath(out.Path(), ""));
  EXPECT_EQ(InternetColumn("2:5", "9"), "sleepy.example.org:24554");
}

struct ListCase {
  const char* List;
  const char* Connect;   // addresses
  int Status;            // of `tolvane connect`
  const char* Expected;  // its output
  const char* Held;      // of those, the ones marked Hold: no binkd line
};

// One entry per rule, each checked against the nodelist line by hand; the
// list's `tolvane binkd` lines hold each with its binkp rows.
const ListCase kLists[] = {
    {"NODELIST.002", "1:300/5 1:311/4 1:2800/22 1:1/4 2:201/329", 0,
     // Own host (the bare INA, ITN and IFT find none); own host and port.
     "1:300/5\tbinkp\tj5.dyndns.org\t24554\tIBN\n"
     "1:311/4\tbinkp\tcpugod.synchro.net\t3141\tIBN\n"
     // Pvt, "telnet://" dropped.
     "1:2800/22\ttelnet\tsaniterium.bbs\t23\tITN\n"
     // A phone 000-65-218-223-109.
     "1:1/4\tbinkp\t65.218.223.109\t24554\tphone\n"
     "1:1/4\tftp\t65.218.223.109\t21\tphone\n"
     // The system name, a telnet-only Pvt entry.
     "2:201/329\ttelnet\tpippin.webbplatsen.se\t23\tsystem name\n",
     ""},
    {"NODELIST.122",
     "2:5080/102 1:114/0 2:201/148 2:5005/33 2:6056/0 1:135/368 2:2449/170", 0,
     // Two INA hosts for IBN and IBN:443.
     "2:5080/102\tbinkp\tbinkd.node.grumbler.org\t24554\tINA\n"
     "2:5080/102\tbinkp\tbinkp.vashadmin.su\t24554\tINA\n"
     "2:5080/102\tbinkp\tbinkd.node.grumbler.org\t443\tINA\n"
     "2:5080/102\tbinkp\tbinkp.vashadmin.su\t443\tINA\n"
     // INA:cscnet1.net:24554 gives the host only; ITN:60177 a port.
     "1:114/0\tbinkp\tcscnet1.net\t24554\tINA\n"
     "1:114/0\tifcico\tcscnet1.net\t60179\tINA\n"
     "1:114/0\ttelnet\tcscnet1.net\t60177\tINA\n"
     // Pvt, the system name www.fidoreader.com.
     "2:201/148\tbinkp\twww.fidoreader.com\t24554\tsystem name\n"
     // A host with a final dot; ports written on INA hosts, for binkp only.
     "2:5005/33\tbinkp\tevg33.ru.\t24554\tINA\n"
     "2:6056/0\tbinkp\t1.fido6056.int.ru\t8081\tINA\n"
     "1:135/368\tbinkp\teoth2.dyndns.org\t24552\tINA\n"
     "1:135/368\ttelnet\teoth2.dyndns.org\t23\tINA\n"
     // Hold: shown here, left out of binkd.
     "2:2449/170\tbinkp\tsbbs.cjb.net\t24554\tsystem name\n",
     "2:2449/170"},
    {"Z2DAILY.067", "1:1/19 2:45/0 1:214/23 1:105/1", 1,
     // Flags of 77 characters: ITN:60177 lies beyond the flags column.
     "1:1/19\tbinkp\tftsc.bnbbbs.net\t24555\tINA\n"
     "1:1/19\tifcico\tftsc.bnbbbs.net\t60179\tINA\n"
     "1:1/19\ttelnet\tftsc.bnbbbs.net\t60177\tINA\n"
     // An IPv4 INA and a named one; then a Pvt IBN without any host.
     "2:45/0\tbinkp\t82.209.239.18\t24554\tINA\n"
     "2:45/0\tbinkp\tunnamed.by\t24554\tINA\n"
     // A port on the INA host, where neighbours write it on IBN.
     "1:105/1\tbinkp\thub.awesomenet.us\t24556\tINA\n",
     ""},
    {"tqwnet.233", "1337:1/106", 1, "", ""},  // a bare INA: no host
};

// The line `tolvane binkd` writes for `address`, made from the binkp rows
// that `tolvane connect` gave for it in `connect`; "" when it has none.
std::string BinkdLine(const std::string& address, const std::string& connect) {
  std::string line;
  size_t start = 0;
  while (start < connect.size()) {
    size_t end = connect.find('\n', start);
    std::string row = connect.substr(start, end - start);
    start = end + 1;
    std::string fields[4];
    size_t at = 0;
    for (std::string& field : fields) {
      size_t tab = row.find('\t', at);
      field = row.substr(at, tab - at);
      at = tab == std::string::npos ? row.size() : tab + 1;
    }
    if (fields[0] != address || fields[1] != "binkp") continue;
    line += (line.empty() ? "node " + address + "@fidonet " : ";") + fields[2] +
            ":" + fields[3];
  }
  return line;
}

TEST_F(InternetTest, RealNodelists) {
  std::string first = SysJoinPath(TOLVANE_NODELISTS_DIR, kLists[0].List);
  if (!std::filesystem::exists(first))
    GTEST_SKIP() << "no real nodelist " << first;
  for (const ListCase& c : kLists) {
    SCOPED_TRACE(c.List);
    TempFolder out;
    ToolRun compiled = RunTool(
        "tolvane-compile",
        "--out " + SysQuoteArgument(out.Path()) + " " +
            SysQuoteArgument(SysJoinPath(TOLVANE_NODELISTS_DIR, c.List)));
    ASSERT_EQ(compiled.Status, 0) << compiled.Err;
    std::string folder = " --nodelist " + SysQuoteArgument(out.Path());
    ToolRun binkd = Tolvane("binkd" + folder);
    EXPECT_EQ(binkd.Status, 0) << binkd.Err;
    EXPECT_EQ(binkd.Out.rfind("node ", 0), 0u);
    ToolRun connect = Tolvane(std::string("connect ") + c.Connect + folder);
    EXPECT_EQ(connect.Status, c.Status) << connect.Err;
    EXPECT_EQ(connect.Out, c.Expected);
    EXPECT_EQ(connect.Err.find("has no internet endpoint") != std::string::npos,
              c.Status != 0)
        << connect.Err;
    // The checked entries in the whole list's binkd lines: each with its
    // binkp endpoints, or absent when it has none or is held.
    std::istringstream addresses(c.Connect);
    std::string address, all = "\n" + binkd.Out;
    std::string held = std::string(" ") + c.Held + " ";
    while (addresses >> address) {
      std::string line = BinkdLine(address, c.Expected);
      if (line.empty() || held.find(" " + address + " ") != std::string::npos) {
        EXPECT_EQ(all.find("\nnode " + address + "@"), std::string::npos)
            << address;
      } else {
        EXPECT_NE(all.find("\n" + line + "\n"), std::string::npos) << line;
      }
    }
  }
  // The panel's column: telnet only, so named with its protocol.
  TempFolder out;
  ToolRun compiled = RunTool(
      "tolvane-compile",
      "--out " + SysQuoteArgument(out.Path()) + " " +
          SysQuoteArgument(SysJoinPath(TOLVANE_NODELISTS_DIR, "NODELIST.002")));
  ASSERT_EQ(compiled.Status, 0) << compiled.Err;
  WriteText("Path to nodelist", SysJoinPath(out.Path(), ""));
  EXPECT_EQ(InternetColumn("2:201", "329"), "telnet pippin.webbplatsen.se:23");
  EXPECT_EQ(InternetColumn("2:201", "148"), "www.fidoreader.com:24554");
}

}  // namespace
