#include "nodelist/endpoints.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The endpoints of a line as "protocol address (source)", joined by " | ".
std::string Decoded(const char* line) {
  EndpointList list;
  int count = DecodeEndpoints(line, &list);
  EXPECT_EQ(count, list.Count);
  std::string text;
  for (int i = 0; i < list.Count; ++i) {
    const Endpoint& e = list.Items[i];
    char address[kEndpointAddressSize];
    FormatEndpointAddress(e, address, sizeof(address));
    text += std::string(i ? " | " : "") + EndpointProtocolName(e.Protocol) +
            " " + address + " (" + EndpointSourceName(e.Protocol, e.Source) +
            ")";
  }
  return text;
}

struct EndpointCase {
  const char* Flags;  // after ",1,Some_BBS,Town,Sysop,7-495-555-0101,300,"
  const char* Want;
};

TEST(DecodeEndpoints, FollowsTheFlagRules) {
  static const EndpointCase cases[] = {
      // Own host, port, both; default ports of every protocol.
      {"CM,IBN:f1042.g0x.ru:24556", "binkp f1042.g0x.ru:24556 (IBN)"},
      {"IBN:bbs.example.org,IFC:bbs.example.org,ITN:bbs.example.org,"
       "IVM:bbs.example.org,IFT:bbs.example.org",
       "binkp bbs.example.org:24554 (IBN) | ifcico bbs.example.org:60179 "
       "(IFC) | telnet bbs.example.org:23 (ITN) | vmodem "
       "bbs.example.org:3141 (IVM) | ftp bbs.example.org:21 (IFT)"},
      {"IBN:24556,INA:a.example.org", "binkp a.example.org:24556 (INA)"},
      // Every INA host, in order, for each flag without its own host.
      {"IBN,INA:a.example.org,ITN:2323,INA:192.0.2.1",
       "binkp a.example.org:24554 (INA) | binkp 192.0.2.1:24554 (INA) | "
       "telnet a.example.org:2323 (INA) | telnet 192.0.2.1:2323 (INA)"},
      // INA gives a host, and a port for binkp only; junk after it is
      // ignored.
      {"ITN,INA:192.0.2.4:24554", "telnet 192.0.2.4:23 (INA)"},
      {"IBN,INA:bbs.example.com:IBN", "binkp bbs.example.com:24554 (INA)"},
      // An own host wins over INA; an INA without a host gives none.
      {"INA:a.example.org,IBN:b.example.org:1", "binkp b.example.org:1 (IBN)"},
      {"INA,IBN", ""},
      // Case, user flags after U, a scheme, an empty value.
      {"ibn,IfC,U,ina:x.example.org",
       "binkp x.example.org:24554 (INA) | ifcico x.example.org:60179 (INA)"},
      {"U,ITN:telnet://bbs.example.org", "telnet bbs.example.org:23 (ITN)"},
      {"IBN:,INA:http://w.example.org", "binkp w.example.org:24554 (INA)"},
      // Values neither host nor port make the flag give nothing.
      {"IBN:nnl_darktech_org,ITN:telnet://,IFC:99999,IVM:0,IFT:h.org:,"
       "IBN:-x.org,IBN:256.1.1.1,IBN:1.2.3,IBN:0.0.0.0,IBN:a..b,"
       "IBN:ftp:/x.org,IBN:9x://x.org,INA:a.example.org",
       ""},
      {"IBN:24554:host.org,INA:a.example.org", ""},
      // IPv6: in brackets with or without a port; whole without brackets.
      {"IBN:[2001:db8::1]:24555,ITN:[2001:DB8::1]",
       "binkp [2001:db8::1]:24555 (IBN) | telnet [2001:DB8::1]:23 (ITN)"},
      {"IBN,INA:[2001:db8::2]:80,INA:2001:db8::3,INA:::ffff:192.0.2.9",
       "binkp [2001:db8::2]:80 (INA) | binkp [2001:db8::3]:24554 (INA) | "
       "binkp [::ffff:192.0.2.9]:24554 (INA)"},
      {"IBN:[::],IBN:[2001:db8::1,IBN:[1:2:3:4:5:6:7:8:9],IBN:[x::1],"
       "IBN:2001:db8::1:24555:x",
       ""},
      {"IBN:1:2:3:4:5:6:7:8", "binkp [1:2:3:4:5:6:7:8]:24554 (IBN)"},
      // The same endpoint once, whatever the case of its host.
      {"IBN,IBN:24554,INA:a.example.org,INA:A.EXAMPLE.ORG,IBN:A.example.org",
       "binkp a.example.org:24554 (INA)"},
      // At most eight.
      {"IBN,ITN,IFC,INA:a.org,INA:b.org,INA:c.org",
       "binkp a.org:24554 (INA) | binkp b.org:24554 (INA) | binkp "
       "c.org:24554 (INA) | telnet a.org:23 (INA) | telnet b.org:23 (INA) | "
       "telnet c.org:23 (INA) | ifcico a.org:60179 (INA) | ifcico "
       "b.org:60179 (INA)"},
      // A host of 63 characters is kept, one of 64 is not.
      {"IBN:a2345678901234567890123456789012345678901234567890123456789.org,"
       "IBN:a23456789012345678901234567890123456789012345678901234567890.org",
       "binkp a2345678901234567890123456789012345678901234567890123456789.org:"
       "24554 (IBN)"},
      // The whole line counts, however long the flags.
      {"XA,V34,V42B,VFC,X75,H16,MN,MO,LO,ZYX,V32B,V32T,HST,PING,ENC,NC,"
       "IBN:late.example.org",
       "binkp late.example.org:24554 (IBN)"},
      {"XA,V34", ""},
  };
  for (const EndpointCase& c : cases) {
    std::string line =
        std::string(",1,Some_BBS,Town,Sysop,7-495-555-0101,300,") + c.Flags;
    EXPECT_EQ(Decoded(line.c_str()), c.Want) << c.Flags;
  }
}

struct FallbackCase {
  const char* Line;
  const char* Want;
};

TEST(DecodeEndpoints, FallsBackToThePhoneThenTheSystemName) {
  static const FallbackCase cases[] = {
      {",5,Some_BBS,Town,Sysop,000-192-0-2-15,300,IBN",
       "binkp 192.0.2.15:24554 (phone)"},
      {",5,bbs.example.com,Town,Sysop,000-192-0-2-15,300,ITN",
       "telnet 192.0.2.15:23 (phone)"},
      {",5,bbs.example.com,Town,Sysop,000-192-0-2-15,300,IBN,INA:i.example.net",
       "binkp i.example.net:24554 (INA)"},
      // The 000-0-0-0-0 phone names no host; the system name does.
      {"Pvt,5,bbs.example.com,Town,Sysop,000-0-0-0-0,300,IBN,ITN:2323",
       "binkp bbs.example.com:24554 (system name) | telnet "
       "bbs.example.com:2323 (system name)"},
      {",5,192.0.2.77,Town,Sysop,-Unpublished-,300,IBN",
       "binkp 192.0.2.77:24554 (system name)"},
      {",5,Rbb.Cjb.Net,Town,Sysop,-Unpublished-,300,IBN",
       "binkp Rbb.Cjb.Net:24554 (system name)"},
      // Not a domain name: underscore, a one-letter or numeric last label,
      // no dot; phones that are no IP address.
      {",5,Some.BBS_here,Town,Sysop,000-000-0000,300,IBN", ""},
      {",5,B.B.S,Town,Sysop,000-1-2-3,300,IBN", ""},
      {",5,example.123,Town,Sysop,000-1-2-3-256,300,IBN", ""},
      {",5,localhost,Town,Sysop,00-192-0-2-1,300,IBN", ""},
      // Lines that end before the flags, and no line at all.
      {",5,bbs.example.com,Town,Sysop,000-192-0-2-15,300", ""},
      {",5,bbs.example.com", ""},
      {"", ""},
  };
  for (const FallbackCase& c : cases)
    EXPECT_EQ(Decoded(c.Line), c.Want) << c.Line;
  EndpointList list;
  list.Count = 3;
  EXPECT_EQ(DecodeEndpoints(nullptr, &list), 0);
  EXPECT_EQ(list.Count, 0);
}

}  // namespace
