// Lists, difference files and program runs for the tools' tests.
#include "test_lists.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unordered_map>

#include "compiler/nodelist_line.h"
#include "compiler/output_set.h"

namespace v7test {

namespace fs = std::filesystem;

namespace {

// Matched line pairs (old index, new index) of a longest common
// subsequence of a and b, in order. Lines found on one side only cannot
// match and are left out of the table first.
std::vector<std::pair<size_t, size_t>> CommonLines(
    const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::unordered_map<std::string, int> in_a, in_b;
  for (const std::string& l : a) in_a[l] = 1;
  for (const std::string& l : b) in_b[l] = 1;
  std::vector<size_t> x, y;  // indices of the lines found on both sides
  for (size_t i = 0; i < a.size(); ++i)
    if (in_b.count(a[i])) x.push_back(i);
  for (size_t j = 0; j < b.size(); ++j)
    if (in_a.count(b[j])) y.push_back(j);
  std::vector<std::pair<size_t, size_t>> pairs;
  size_t head = 0;
  while (head < x.size() && head < y.size() && a[x[head]] == b[y[head]])
    pairs.push_back({x[head], y[head]}), ++head;
  size_t tail = 0;
  while (tail < x.size() - head && tail < y.size() - head &&
         a[x[x.size() - 1 - tail]] == b[y[y.size() - 1 - tail]])
    ++tail;
  size_t n = x.size() - head - tail, m = y.size() - head - tail;
  // length[i][j]: the longest common run of x[head+i..] and y[head+j..].
  std::vector<uint32_t> length((n + 1) * (m + 1), 0);
  auto at = [&](size_t i, size_t j) -> uint32_t& {
    return length[i * (m + 1) + j];
  };
  for (size_t i = n; i-- > 0;)
    for (size_t j = m; j-- > 0;)
      at(i, j) = a[x[head + i]] == b[y[head + j]]
                     ? at(i + 1, j + 1) + 1
                     : std::max(at(i + 1, j), at(i, j + 1));
  for (size_t i = 0, j = 0; i < n && j < m;) {
    if (a[x[head + i]] == b[y[head + j]])
      pairs.push_back({x[head + i++], y[head + j++]});
    else if (at(i + 1, j) >= at(i, j + 1))
      ++i;
    else
      ++j;
  }
  for (size_t k = tail; k-- > 0;)
    pairs.push_back({x[x.size() - 1 - k], y[y.size() - 1 - k]});
  return pairs;
}

struct DiffWriter {
  const std::vector<std::string>* to;
  std::string text;
  char op = 0;
  size_t count = 0, first = 0;

  void Flush() {
    if (count == 0) return;
    text += op + std::to_string(count) + "\r\n";
    if (op == 'A')
      for (size_t k = first; k < first + count; ++k) text += (*to)[k] + "\r\n";
    count = 0;
  }
  void Add(char what, size_t n, size_t from) {
    if (n == 0) return;
    if (what != op) Flush();
    if (count == 0) first = from;
    op = what;
    count += n;
  }
};

}  // namespace

std::vector<std::string> ListLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t end = text.find('\x1A');
  if (end == std::string::npos) end = text.size();
  for (size_t pos = 0; pos < end;) {
    size_t lf = text.find('\n', pos);
    size_t stop = lf == std::string::npos || lf > end ? end : lf;
    std::string line = text.substr(pos, stop - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    pos = stop + 1;
  }
  return lines;
}

std::string MakeList(const std::string& head,
                     const std::vector<std::string>& body) {
  std::string rest;
  for (const std::string& l : body) rest += l + "\r\n";
  unsigned crc = v7c::UpdateCrc16(0, rest.data(), rest.size());
  return head + " : " + std::to_string(crc) + "\r\n" + rest + "\x1A";
}

std::string MakeNodediff(const std::string& old_list,
                         const std::string& new_list) {
  std::vector<std::string> a = ListLines(old_list), b = ListLines(new_list);
  DiffWriter w;
  w.to = &b;
  w.text = a.empty() ? "" : a[0] + "\r\n";
  size_t i = 0, j = 0;
  for (const auto& [mi, mj] : CommonLines(a, b)) {
    w.Add('D', mi - i, i);
    w.Add('A', mj - j, j);
    w.Add('C', 1, mi);
    i = mi + 1;
    j = mj + 1;
  }
  w.Add('D', a.size() - i, i);
  w.Add('A', b.size() - j, j);
  w.Flush();
  return w.text + "\x1A";
}

std::string ReadFile(const std::string& path) {
  std::string text;
  return v7c::ReadWholeFile(path, &text) ? text : "(cannot read " + path + ")";
}

void WriteFile(const std::string& path, const std::string& text) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return;
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

int ZipText(const std::string& archive, const std::string& member,
            const std::string& text) {
  fs::path folder = fs::path(archive).parent_path() / "zip-staging";
  fs::create_directories(folder);
  WriteFile((folder / member).string(), text);
  std::string command = "zip -q -j -X '" + archive + "' '" +
                        (folder / member).string() + "' >/dev/null 2>&1";
  int status = std::system(command.c_str());
  fs::remove_all(folder);
  return status == 0;
}

ProgramRun RunCompilerWords(const std::vector<std::string>& words) {
  std::vector<const char*> argv = {"tolvane-compile"};
  for (const std::string& w : words) argv.push_back(w.c_str());
  v7c::CompilerArgs args;
  std::string error;
  if (!v7c::ParseCompilerArgs(static_cast<int>(argv.size()), argv.data(), &args,
                              &error))
    return {2, "", error};
  FILE* out = tmpfile();
  FILE* err = tmpfile();
  ProgramRun run = {v7c::RunCompiler(args, out, err), "", ""};
  for (auto [f, text] : {std::pair{out, &run.out}, std::pair{err, &run.err}}) {
    rewind(f);
    int c;
    while ((c = fgetc(f)) != EOF) text->push_back(static_cast<char>(c));
    fclose(f);
  }
  return run;
}

}  // namespace v7test
