// Difference files applied to a small list: line ends, and every kind of
// damage refused with the line at fault. Real lists go through the weekly
// mode's tests.
#include "compiler/nodediff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_lists.h"

namespace {

const std::vector<std::string> kOldBody = {
    "Zone,1,Z,T,S,1-1,300", ",1,One,T,S,1-2,300", ",2,Two,T,S,1-3,300"};
const std::vector<std::string> kNewBody = {
    "Zone,1,Z,T,S,1-1,300", ",2,Two,T,S,1-3,300", ",3,Three,T,S,1-4,300"};

// The old list's first line, then the lines given, each ending in `end`.
std::string Diff(const std::string& old_list,
                 const std::vector<std::string>& lines,
                 const char* end = "\r\n") {
  std::string text = v7test::ListLines(old_list)[0] + end;
  for (const std::string& l : lines) text += l + end;
  return text;
}

TEST(Nodediff, AppliesAndRefusesDamagedFiles) {
  std::string old_list = v7test::MakeList(
      ";A Test list for Friday, January 2, 2009 -- Day number 002", kOldBody);
  std::string new_list = v7test::MakeList(
      ";A Test list for Friday, January 9, 2009 -- Day number 009", kNewBody);
  std::string head = v7test::ListLines(new_list)[0];
  std::string open_end = old_list.substr(0, old_list.size() - 3);
  struct {
    std::string diff;
    std::string old;
    const char* error;  // null: the new list is made
  } cases[] = {
      {Diff(old_list, {"D1", "A1", head, "C1", "D1", "C1", "A1", kNewBody[2]},
            "\n"),
       open_end, nullptr},
      {Diff(old_list,
            {"D1", "A1", head, "C1", "D1", "C1 ", "A1", kNewBody[2]}) +
           "\x1A" + "A1",
       old_list, nullptr},
      {Diff(new_list, {"C4"}), old_list,
       "line 1: the difference file applies to the list \";A Test list for "
       "Friday, January 9, 2009 -- Day number 009 : "},
      {Diff(old_list, {"D1", "A1", head, "C1", "X1"}), old_list,
       "line 6: \"X1\" is not a command (An, Cn or Dn)"},
      {Diff(old_list, {"D1", "A1", head, "c3"}), old_list,
       "line 5: \"c3\" is not a command"},
      {Diff(old_list, {"D1", "A0", "C3"}), old_list,
       "line 3: \"A0\" is not a command"},
      {Diff(old_list, {"D1", ""}), old_list, "line 3: \"\" is not a command"},
      {Diff(old_list, {"D1", "A3", head}), old_list,
       "line 3: A3 adds 3 lines, but the file ends after 1"},
      {Diff(old_list, {"D1", "A1", head, "C9"}), old_list,
       "line 5: C9 copies past the end of the old list (3 lines were left)"},
      {Diff(old_list, {"D99999999"}), old_list,
       "line 2: \"D99999999\" is not a command"},
      {Diff(old_list, {"D9"}), old_list,
       "line 2: D9 deletes past the end of the old list (4 lines were left)"},
      {Diff(old_list, {"D1", "A1", head, "C1"}), old_list,
       "the commands end with 2 lines of the old list unused"},
      {Diff(old_list, {"D1", "A1", head, "C1", "D1", "C1", "A1", ",3,X"}),
       old_list, "the list made fails its CRC: the first line says "},
      {Diff(old_list, {"D4", "A1", ";A no CRC"}), old_list,
       "the first line of the list made gives no CRC"},
      {"", old_list, "the difference file is empty"},
      {Diff(old_list, {"C4"}).insert(0, 1, 0x1A), old_list,
       "the difference file is empty"},
      {Diff(old_list, {"C4"}), "\x1A", "the old list is empty"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.diff);
    std::string made = "left over", error;
    int ok = v7c::ApplyNodediff(t.diff.data(), t.diff.size(), t.old.data(),
                                t.old.size(), &made, &error);
    if (!t.error) {
      ASSERT_EQ(ok, 1) << error;
      EXPECT_EQ(made, new_list);
      continue;
    }
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(made, "");
    EXPECT_EQ(error.rfind(t.error, 0), 0u) << error;
  }
}

}  // namespace
