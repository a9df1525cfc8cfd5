// The node database verifier: it accepts what Outlook wrote, and it names
// the fault when one byte of a file we wrote is wrong.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "pst/messaging/pst_writer.h"
#include "pst/ndb/crc.h"
#include "pst/ndb/ndb_reader.h"
#include "pst/ndb/ndb_verifier.h"
#include "tests/pst/pst_test_support.h"

namespace quillmere::pst::ndb {
namespace {

using test_support::TempDir;

class OutlookSampleTest : public ::testing::TestWithParam<const char*> {};

TEST_P(OutlookSampleTest, PassesEveryCrcTrailerAndTreeCheck) {
  const std::string path = std::string(QM_SAMPLES_DIR) + "/" + GetParam();
  if (!test_support::fs::exists(path)) GTEST_SKIP() << path << " is not there";
  // Outlook leaves space allocated that nothing refers to, so only the
  // converse is checked: everything in use is marked allocated.
  const VerifyReport r = VerifyFile(path, {false});
  EXPECT_GT(r.nodes, 40u);
  EXPECT_GT(r.blocks, 20u);
  EXPECT_GE(r.amapPages, 1u);
}

INSTANTIATE_TEST_SUITE_P(Samples, OutlookSampleTest,
                         ::testing::Values("Empty.pst", "dist-list.pst", "outlook.pst", "passworded.pst", "enron.pst"));

TEST(HeaderTest, EncodesAndDecodesEveryFormat) {
  for (FileFormat f : {FileFormat::kUnicode, FileFormat::kAnsi, FileFormat::kUnicode4k}) {
    Header h;
    h.format = f;
    h.wVer = f == FileFormat::kUnicode ? kVersionUnicode : f == FileFormat::kAnsi ? kVersionAnsi : kVersionUnicode4k;
    if (f == FileFormat::kUnicode4k) h.wMagicClient = kMagicClientOst;
    h.bidNextB = 0x1234;
    h.bidNextP = 0x55;
    h.rgnid[4] = 0x10007;
    h.root = {0x42400, 0x4400, 0x3AD40, 0, {0x17D, 0x9200}, {0x17B, 0x8400}, kAMapValid2};
    h.rgbFM.fill(0xFF);
    const Bytes bytes = EncodeHeader(h);
    ASSERT_EQ(bytes.size(), Layout::For(f).headerSize);
    const Header back = DecodeHeader(bytes.data(), bytes.size());
    EXPECT_EQ(back.format, f);
    EXPECT_EQ(back.wMagicClient, h.wMagicClient);
    EXPECT_EQ(back.bidNextB, 0x1234u);
    EXPECT_EQ(back.bidNextP, 0x55u);
    EXPECT_EQ(back.rgnid[4], 0x10007u);
    EXPECT_EQ(back.root.ibFileEof, 0x42400u);
    EXPECT_EQ(back.root.nbt, (BlockRef{0x17D, 0x9200}));
    EXPECT_EQ(back.root.bbt, (BlockRef{0x17B, 0x8400}));
  }
}

TEST(CrcTest, MatchesTheHeaderCrcOutlookWrote) {
  const std::string path = std::string(QM_SAMPLES_DIR) + "/Empty.pst";
  if (!test_support::fs::exists(path)) GTEST_SKIP();
  NdbReader reader(path);
  const Bytes head = reader.ReadRaw(0, kHeaderSizeUnicode);
  EXPECT_EQ(ComputeCrc(0, head.data() + 8, 471), Get32(head.data() + 4));
  EXPECT_EQ(ComputeCrc(0, head.data() + 8, 516), Get32(head.data() + 524));
}

// A small file with one message whose body needs an XBLOCK.
class DamagedFileTest : public ::testing::Test {
 public:
  void SetUp() override {
    path_ = dir_.File("small.pst");
    PstWriter w(path_, {});
    const FolderId f = w.AddFolder(w.TopOfPersonalFolders(), "Inbox");
    Message m;
    m.subject = "Long";
    m.body = std::string(30000, 'x');
    w.AddMessage(f, m);
    w.Finish();
    ASSERT_NO_THROW(VerifyFile(path_));
    NdbReader r(path_);
    root_ = r.header().root;
    blocks_ = r.ReadBlocks();
  }

  Bytes Read(uint64_t at, size_t n) { return NdbReader(path_).ReadRaw(at, n); }
  void Write(uint64_t at, const Bytes& bytes) {
    std::fstream f(path_, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(std::streamoff(at));
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  void FlipByte(uint64_t at) {
    Bytes b = Read(at, 1);
    b[0] ^= 0x5A;
    Write(at, b);
  }
  const BbtEntry& FirstBlock(bool internal) {
    for (const auto& b : blocks_)
      if (bool(b.ref.bid & kBidInternal) == internal && b.cb > 0) return b;
    throw std::runtime_error("no such block");
  }
  // Changes one AMap bit and seals the page again, so that only the
  // allocation check can notice.
  void SetAMapUnit(uint64_t unit, bool allocated) {
    Bytes page = Read(kFirstAMapOffset, kPageSize);
    const uint8_t mask = uint8_t(0x80 >> (unit % 8));
    page[unit / 8] = allocated ? (page[unit / 8] | mask) : (page[unit / 8] & ~mask);
    SealPage(Layout::For(FileFormat::kUnicode), page.data(), kPageAMap, kFirstAMapOffset, kFirstAMapOffset);
    Write(kFirstAMapOffset, page);
  }

  const Root& root() const { return root_; }
  const std::string& path() const { return path_; }

 protected:
  TempDir dir_;
  std::string path_;
  Root root_;
  std::vector<BbtEntry> blocks_;
};

struct Damage {
  const char* name;
  std::function<void(DamagedFileTest&)> apply;
  const char* expected;  // part of the verifier's message
};

class DamageTest : public DamagedFileTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamageTest, IsFoundAndNamed) {
  GetParam().apply(*this);
  try {
    VerifyFile(path_);
    FAIL() << "the verifier accepted the damaged file";
  } catch (const FormatError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().expected), std::string::npos) << e.what();
  }
}

const Damage kDamages[] = {
    {"HeaderField", [](DamagedFileTest& t) { t.FlipByte(40); }, "dwCRCPartial"},
    {"HeaderTail", [](DamagedFileTest& t) { t.FlipByte(518); }, "dwCRCFull"},
    {"NodeBTreePage", [](DamagedFileTest& t) { t.FlipByte(t.root().nbt.ib + 3); }, "trailer CRC mismatch"},
    {"BlockBTreeLevel",
     [](DamagedFileTest& t) {
       // cLevel of the BBT root, the page CRC made right again. Index and
       // block entries have the same size, so the index entries read as
       // blocks whose offsets are child page BIDs.
       Bytes page = t.Read(t.root().bbt.ib, kPageSize);
       page[488 + 3] ^= 1;
       SealPage(Layout::For(FileFormat::kUnicode), page.data(), kPageBBT, t.root().bbt.bid, t.root().bbt.ib);
       t.Write(t.root().bbt.ib, page);
     },
     "not 64-byte aligned"},
    {"NodeBTreeLevel",
     [](DamagedFileTest& t) {
       // cLevel of the NBT root: node entries are larger than index entries.
       Bytes page = t.Read(t.root().nbt.ib, kPageSize);
       page[488 + 3] ^= 1;
       SealPage(Layout::For(FileFormat::kUnicode), page.data(), kPageNBT, t.root().nbt.bid, t.root().nbt.ib);
       t.Write(t.root().nbt.ib, page);
     },
     "cbEnt"},
    {"DataBlockByte", [](DamagedFileTest& t) { t.FlipByte(t.FirstBlock(false).ref.ib + 5); }, "trailer CRC mismatch"},
    {"BlockTrailerBid",
     [](DamagedFileTest& t) {
       const BbtEntry& b = t.FirstBlock(false);
       t.FlipByte(b.ref.ib + BlockFootprint(Layout::For(FileFormat::kUnicode), b.cb) - 7);
     },
     "trailer bid"},
    {"XBlockTotal",
     [](DamagedFileTest& t) {
       // lcbTotal of the body's XBLOCK, the block CRC made right again.
       const BbtEntry& b = t.FirstBlock(true);
       Bytes data = t.Read(b.ref.ib, b.cb);
       if (data[0] != kBlockTypeXBlock) throw std::runtime_error("expected the XBLOCK first");
       Put32(data.data() + 4, Get32(data.data() + 4) + 1);
       t.Write(b.ref.ib, EncodeBlock(Layout::For(FileFormat::kUnicode), data.data(), data.size(), b.ref.bid, b.ref.ib));
     },
     "lcbTotal"},
    {"UsedSpaceMarkedFree",
     [](DamagedFileTest& t) { t.SetAMapUnit((t.FirstBlock(false).ref.ib - kFirstAMapOffset) / 64, false); },
     "marked free"},
    {"FreeSpaceMarkedAllocated", [](DamagedFileTest& t) { t.SetAMapUnit(496 * 8 - 1, true); }, "nothing uses them"},
    {"FileCutShort",
     [](DamagedFileTest& t) { test_support::fs::resize_file(t.path(), t.root().ibFileEof - kPageSize); }, "ibFileEof"},
};

INSTANTIATE_TEST_SUITE_P(Damages, DamageTest, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillmere::pst::ndb
