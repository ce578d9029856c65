// The tests' own V7 reader.
#include "test_reader.h"

#include <cstdio>
#include <map>

namespace v7test {

namespace {

const char kAlphabet[] = " EANROSTILCHBDMUGPKYWFVJXZQ-'0123456789";

struct Walk {
  const std::vector<uint8_t>* f;
  uint32_t bs;
  std::map<uint32_t, std::vector<uint32_t>> level_blocks;  // depth -> blocks
  std::vector<LeafKey> leaves;
  std::string error;
  uint32_t leaf_depth = 0;
};

std::string Fail(const char* what, uint32_t block) {
  char text[128];
  snprintf(text, sizeof(text), "%s (block %u)", what, block);
  return text;
}

// Reads entry i of a block: its key and data offset; checks the key area.
int ReadEntry(Walk* w, uint32_t block, uint32_t i, uint32_t entry_size,
              LeafKey* out) {
  size_t base = static_cast<size_t>(block) * w->bs;
  size_t e = base + 16 + i * entry_size;
  uint32_t off = Get16(*w->f, e), len = Get16(*w->f, e + 2);
  uint32_t count = Get16(*w->f, base + 12);
  if (off < 16 + count * entry_size || off + len > w->bs ||
      off < Get16(*w->f, base + 14)) {
    w->error = Fail("key outside the key area", block);
    return 0;
  }
  out->key.assign(reinterpret_cast<const char*>(w->f->data() + base + off),
                  len);
  out->data = Get32(*w->f, e + 4);
  return 1;
}

// Walks a subtree; returns the first leaf entry of it through *first.
int WalkTree(Walk* w, uint32_t block, uint32_t depth, LeafKey* first) {
  if (depth > 32 || block == 0 || (block + 1ull) * w->bs > w->f->size()) {
    w->error = Fail("block out of range or tree too deep", block);
    return 0;
  }
  w->level_blocks[depth].push_back(block);
  size_t base = static_cast<size_t>(block) * w->bs;
  uint32_t child = Get32(*w->f, base), count = Get16(*w->f, base + 12);
  if (child == 0xFFFFFFFFu) {
    if (w->leaf_depth && w->leaf_depth != depth) {
      w->error = Fail("leaves at different depths", block);
      return 0;
    }
    w->leaf_depth = depth;
    for (uint32_t i = 0; i < count; ++i) {
      LeafKey k;
      if (!ReadEntry(w, block, i, 8, &k)) return 0;
      if (i == 0) *first = k;
      w->leaves.push_back(k);
    }
    return count > 0 || w->leaves.size() == 0;
  }
  if (!WalkTree(w, child, depth + 1, first)) return 0;
  for (uint32_t i = 0; i < count; ++i) {
    LeafKey k, sub;
    if (!ReadEntry(w, block, i, 12, &k)) return 0;
    uint32_t right = Get32(*w->f, base + 16 + i * 12 + 8);
    if (!WalkTree(w, right, depth + 1, &sub)) return 0;
    if (sub.key != k.key || sub.data != k.data) {
      w->error =
          Fail("index key differs from its right subtree's first", block);
      return 0;
    }
  }
  return 1;
}

// Each level's blocks, in tree order, must be linked prev/next in order.
int CheckLevelLinks(Walk* w) {
  for (const auto& [depth, blocks] : w->level_blocks) {
    for (size_t i = 0; i < blocks.size(); ++i) {
      size_t base = static_cast<size_t>(blocks[i]) * w->bs;
      uint32_t prev = i ? blocks[i - 1] : 0;
      uint32_t next = i + 1 < blocks.size() ? blocks[i + 1] : 0;
      if (Get32(*w->f, base + 4) != prev || Get32(*w->f, base + 8) != next) {
        w->error = Fail("level links out of order", blocks[i]);
        return 0;
      }
    }
  }
  return 1;
}

// Follows the leaf chain from the first leaf; must equal the tree order.
int CheckLeafChain(Walk* w, uint32_t first_leaf, uint32_t last_leaf) {
  std::vector<uint32_t> chain;
  uint32_t prev = 0;
  for (uint32_t b = first_leaf;
       b != 0 && chain.size() <= w->f->size() / w->bs;) {
    size_t base = static_cast<size_t>(b) * w->bs;
    if (Get32(*w->f, base + 4) != prev)
      return (w->error = "leaf chain prev link").empty();
    chain.push_back(b);
    prev = b;
    b = Get32(*w->f, base + 8);
  }
  const std::vector<uint32_t>& tree = w->level_blocks[w->leaf_depth];
  if (chain != tree || chain.back() != last_leaf)
    return (w->error = "leaf chain differs from the tree's leaves").empty();
  return 1;
}

}  // namespace

IndexCheck CheckIndex(const std::vector<uint8_t>& file) {
  IndexCheck r;
  Walk w{&file, Get16(file, 0)};
  uint32_t parity = 0;
  for (int i = 0; i < 24; i += 2) parity ^= Get16(file, i);
  if (w.bs < 64 || file.size() % w.bs != 0)
    r.error = "bad block size";
  else if (parity != Get16(file, 24))
    r.error = "control block parity";
  else if (Get32(file, 6) != file.size() / w.bs - 1)
    r.error = "highest block";
  else if (Get32(file, 18) != 0)
    r.error = "free list not empty";
  if (!r.error.empty()) return r;
  LeafKey first;
  if (WalkTree(&w, Get32(file, 2), 1, &first) && CheckLevelLinks(&w) &&
      CheckLeafChain(&w, Get32(file, 10), Get32(file, 14)) &&
      w.leaf_depth != Get16(file, 22))
    w.error = "level count";
  r.error = w.error;
  r.leaves = w.leaves;
  r.levels = w.leaf_depth;
  return r;
}

int DecodeRecord(const std::vector<uint8_t>& dat, uint32_t at, Record* r) {
  if (at + 22ull > dat.size()) return 0;
  r->zone = Get16(dat, at);
  r->net = Get16(dat, at + 2);
  r->node = Get16(dat, at + 4);
  r->hub_or_point = Get16(dat, at + 6);
  r->cost = Get16(dat, at + 8);
  r->flags = Get16(dat, at + 12);
  r->baud = dat[at + 21] * 300u;
  uint32_t phone = dat[at + 15], pw = dat[at + 16], packed = dat[at + 20];
  r->packed_length = packed;
  if (at + 22ull + phone + pw + packed > dat.size()) return 0;
  const char* p = reinterpret_cast<const char*>(dat.data() + at + 22);
  r->phone.assign(p, phone);
  r->password.assign(p + phone, pw);
  std::string text;
  for (uint32_t i = 0; i + 1 < packed; i += 2) {
    uint32_t word = Get16(dat, at + 22 + phone + pw + i);
    for (uint32_t d : {word / 1600, (word / 40) % 40, word % 40})
      text.push_back(d < 39 ? kAlphabet[d] : '?');
  }
  size_t s = dat[at + 17], o = dat[at + 18], l = dat[at + 19];
  if (s + o + l > text.size()) return 0;
  r->system = text.substr(0, s);
  r->sysop = text.substr(s, o);
  r->location = text.substr(s + o, l);
  r->rest = text.substr(s + o + l);
  return 1;
}

int DecodePlus(const std::vector<uint8_t>& dtp, uint32_t at, int point,
               PlusRecord* r) {
  if (dtp.size() < 11) return 0;
  uint32_t link = dtp[3], further = dtp[4];
  size_t line_at = at + link + (point ? 0 : further);
  if (link < 18 || line_at + 2 > dtp.size()) return 0;
  r->region = Get16(dtp, at);
  r->hub = Get16(dtp, at + 2);
  r->next_sysop = Get32(dtp, at + 4);
  r->next_phone = Get32(dtp, at + 8);
  r->next_sibling = Get32(dtp, at + 12);
  r->sysop_seq = dtp[at + 16];
  r->phone_seq = dtp[at + 17];
  r->downlinks = point ? 0 : Get16(dtp, at + link);
  r->first_downlink = point ? 0xFFFFFFFFu : Get32(dtp, at + link + 2);
  uint32_t length = Get16(dtp, line_at);
  if (length == 0 || line_at + 2 + length > dtp.size() ||
      dtp[line_at + 1 + length] != 0)
    return 0;
  r->line.assign(reinterpret_cast<const char*>(dtp.data() + line_at + 2),
                 length - 1);
  return 1;
}

}  // namespace v7test
