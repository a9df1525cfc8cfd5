// The fast store against the libpff store, item by item: the same folders
// in the same order, the same counts, field values and fingerprints, on the
// sample files, on files our writer makes, and on damaged copies of both.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "cli/mkpst_generate.h"
#include "pst/messaging/nids.h"
#include "pst/messaging/pst_writer.h"
#include "pst/ndb/ndb_reader.h"
#include "pst/ndb/ndb_verifier.h"
#include "pst/ndb/node_database.h"
#include "store/fast/fast_store.h"
#include "store/libpff/libpff_store.h"
#include "tests/pst/pst_test_support.h"
#include "tests/store/sample_files.h"
#include "tests/store/store_comparison.h"

namespace quillmere::store {
namespace {

namespace fs = std::filesystem;
using pst::FileFormat;
using quillmere::testing::SamplePath;

const auto* const kSamplesGuard = ::testing::AddGlobalTestEnvironment(new quillmere::testing::SamplesUnchanged);

struct Compared {
  quillmere::testing::StoreRead reference;
  quillmere::testing::Comparison comparison;
};

Compared CompareFile(const std::string& path) {
  LibpffSessionFactory libpff;
  FastSessionFactory fast;
  Compared c;
  c.reference = quillmere::testing::ReadWholeStore(libpff, path);
  c.comparison = quillmere::testing::CompareStores(c.reference, quillmere::testing::ReadWholeStore(fast, path));
  return c;
}

std::string TestName(std::string n) {
  for (char& ch : n)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
}

// ---- the samples -------------------------------------------------------------

class SampleTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleTest, FastReadsWhatLibpffReads) {
  const auto c = CompareFile(SamplePath(GetParam()));
  ASSERT_TRUE(c.reference.opened);
  EXPECT_TRUE(c.comparison.differences.empty()) << c.comparison.Text();
  EXPECT_EQ(c.comparison.itemsCompared, c.reference.ItemCount());
  EXPECT_EQ(c.comparison.candidateReadMore, 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleTest,
                         ::testing::Values("Empty.pst", "dist-list.pst", "outlook.pst", "passworded.pst", "enron.pst"),
                         [](const auto& info) { return TestName(info.param); });

// ---- files our writer makes --------------------------------------------------------

pst::Message Note(const std::string& subject, const std::string& body) {
  pst::Message m;
  m.subject = subject;
  m.body = body;
  m.senderEmail = "alice@example.com";
  m.senderName = "Alice Moreau";
  m.receivedByName = "Dana Whitfield";
  m.submitTimeUtc = 1709716500;
  return m;
}

// Text of n bytes, not the same from one block to the next.
std::string Filler(size_t n, const std::string& word = "lorem ") {
  std::string s;
  s.reserve(n + 16);
  for (size_t i = 0; s.size() < n; ++i) s += word + std::to_string(i) + (i % 11 == 10 ? "\r\n" : " ");
  s.resize(n);
  return s;
}

struct MadeSpec {
  const char* name;
  FileFormat format;
  std::function<void(pst::PstWriter&, FileFormat)> fill;
  int dataTreeDepth = 0;  // the deepest data tree the file must have: 1 XBLOCK, 2 XXBLOCK
};

void FewPlainItems(pst::PstWriter& w, [[maybe_unused]] FileFormat format) {
  const auto inbox = w.AddFolder(w.TopOfPersonalFolders(), "Inbox");
  const auto sub = w.AddFolder(inbox, "Projects");
  w.AddFolder(w.TopOfPersonalFolders(), "Empty folder");
  w.AddMessage(inbox, Note("Quarterly report", "The figures are attached."));
  pst::Message html = Note("Build failed", "");
  html.htmlBody = "<p>Build 412 failed</p>";
  html.transportHeaders = "Received: from ci.example.com\r\nMessage-ID: <412@ci.example.com>\r\n";
  w.AddMessage(inbox, html);
  pst::Message bare;
  bare.messageClass = "IPM.Note";  // no sent time, no sender, no body
  w.AddMessage(inbox, bare);
  pst::Message prefixed = Note("\x01\x04RE: Team lunch", "Count me in.");
  w.AddMessage(sub, prefixed);
  pst::Message contact = Note("Dana Whitfield", "");
  contact.messageClass = "IPM.Contact";
  contact.sizeHint = 123456;
  w.AddMessage(sub, contact);
}

void LargeBodies(pst::PstWriter& w, [[maybe_unused]] FileFormat format) {
  const auto inbox = w.AddFolder(w.TopOfPersonalFolders(), "Inbox");
  w.AddMessage(inbox, Note("One block", Filler(3000)));
  w.AddMessage(inbox, Note("Past one block", Filler(20000)));
  pst::Message html = Note("HTML past one block", "");
  html.htmlBody = "<html><body>" + Filler(30000, "<b>bold</b> ") + "</body></html>";
  w.AddMessage(inbox, html);
  // More than one XBLOCK can list: an XXBLOCK (Unicode text takes two
  // bytes a character, so 4.3 million characters are past 8.3 MB).
  w.AddMessage(inbox, Note("Past one XBLOCK", Filler(4'300'000)));
}

void Attachments(pst::PstWriter& w, [[maybe_unused]] FileFormat format) {
  const auto inbox = w.AddFolder(w.TopOfPersonalFolders(), "Inbox");
  for (int count : {0, 1, 3}) {
    pst::Message m = Note("With " + std::to_string(count), "see attached");
    for (int k = 0; k < count; ++k) m.attachments.push_back({"file" + std::to_string(k) + ".txt", Filler(100 + k)});
    w.AddMessage(inbox, m);
  }
  pst::Message big = Note("Large attachment", "big");
  big.attachments.push_back({"big.bin", Filler(200000)});
  big.recipients.push_back({"Dana Whitfield", "dana@example.com", 1});
  big.recipients.push_back({"Erin Sato", "erin@example.com", 2});
  w.AddMessage(inbox, big);
  // More subnodes than one SLBLOCK holds: an SIBLOCK above them.
  pst::Message many = Note("Many attachments", "many");
  for (int k = 0; k < 400; ++k) many.attachments.push_back({"a" + std::to_string(k) + ".txt", "x"});
  w.AddMessage(inbox, many);
}

void NonLatinText(pst::PstWriter& w, [[maybe_unused]] FileFormat format) {
  const auto inbox = w.AddFolder(w.TopOfPersonalFolders(), "收件箱");
  const auto greek = w.AddFolder(inbox, "Εισερχόμενα\\Παλιά");  // a backslash inside a name
  pst::Message m = Note("会议通知", "周五下午三点开会。");
  m.senderName = "李伟";
  m.receivedByName = "Дана Уитфилд";
  w.AddMessage(inbox, m);
  w.AddMessage(greek, Note("اجتماع", "تقرير الميزانية"));
  w.AddMessage(greek, Note("Café crème", "Größe, naïve, €, ‰"));
}

void ManyItems(pst::PstWriter& w, [[maybe_unused]] FileFormat format) {
  const auto inbox = w.AddFolder(w.TopOfPersonalFolders(), "Inbox");
  // Enough rows for the contents table's rows to span many blocks and its
  // row index to need more than one level.
  for (int i = 0; i < 3000; ++i) w.AddMessage(inbox, Note("Item " + std::to_string(i % 700), "body " + std::to_string(i % 500)));
  auto parent = w.TopOfPersonalFolders();
  for (int i = 0; i < 120; ++i) {
    const auto f = w.AddFolder(i % 10 == 0 ? w.TopOfPersonalFolders() : parent, "Folder " + std::to_string(i));
    if (i % 7 == 0) w.AddMessage(f, Note("In folder " + std::to_string(i), ""));
    parent = f;
  }
}

void NamedProperties(pst::PstWriter& w, [[maybe_unused]] FileFormat format) {
  const auto inbox = w.AddFolder(w.TopOfPersonalFolders(), "Inbox");
  for (int i = 0; i < 40; ++i) {
    pst::Message m = Note("Named " + std::to_string(i), "body");
    for (int k = 0; k < 30; ++k) {
      pst::PropertyName n;
      n.guid = k % 2 ? pst::kPsetidCommon : pst::kPsPublicStrings;
      if (k % 3 == 0)
        n.name = "x-custom-" + std::to_string((i * 7 + k) % 400);
      else
        n.lid = 0x8000 + uint32_t((i * 13 + k) % 400);
      m.named.push_back({n, k % 2 ? pst::ltp::PropValue::Int32(i * k)
                                  : pst::ltp::PropValue::String("value " + std::to_string(k), format)});
    }
    w.AddMessage(inbox, m);
  }
}

const MadeSpec kMadeSpecs[] = {
    {"UnicodeFewItems", FileFormat::kUnicode, FewPlainItems},
    {"AnsiFewItems", FileFormat::kAnsi, FewPlainItems},
    {"UnicodeLargeBodies", FileFormat::kUnicode, LargeBodies, 2},
    {"AnsiLargeBodies", FileFormat::kAnsi, LargeBodies, 1},
    {"UnicodeAttachments", FileFormat::kUnicode, Attachments, 1},
    {"AnsiAttachments", FileFormat::kAnsi, Attachments, 1},
    {"UnicodeNonLatin", FileFormat::kUnicode, NonLatinText},
    {"AnsiNonLatin", FileFormat::kAnsi, NonLatinText},
    {"UnicodeManyItems", FileFormat::kUnicode, ManyItems, 1},
    {"AnsiManyItems", FileFormat::kAnsi, ManyItems, 1},
    {"UnicodeNamedProperties", FileFormat::kUnicode, NamedProperties},
    {"AnsiNamedProperties", FileFormat::kAnsi, NamedProperties},
    // 4 KB pages and compressed blocks; one XBLOCK lists 8,188 blocks of
    // 64 KB, and one SLBLOCK 2,729 subnodes.
    {"Ost4kFewItems", FileFormat::kUnicode4k, FewPlainItems},
    {"Ost4kLargeBodies", FileFormat::kUnicode4k, LargeBodies, 1},
    {"Ost4kAttachments", FileFormat::kUnicode4k, Attachments},
    {"Ost4kNonLatin", FileFormat::kUnicode4k, NonLatinText},
    {"Ost4kManyItems", FileFormat::kUnicode4k, ManyItems, 1},
    {"Ost4kNamedProperties", FileFormat::kUnicode4k, NamedProperties},
};

// An ANSI store naming its code page: both readers take the 8-bit strings
// in it when libpff knows it (1251, 932), in windows-1252 when not (28591).
// The writer writes windows-1252, so the texts are chosen for the bytes
// they become: "\u201C\u00FA\u2013{" is 93 FA 96 7B, which code page 932
// reads as two kanji. (Bytes a multi-byte code page does not define are
// where the readers part: libpff gives one U+FFFD for a lead byte and the
// byte after it, iconv one for each byte or a private-use character.)
TEST(CodePageTest, AnsiStringsInTheStoresCodePage) {
  const struct {
    int32_t codepage;
    const char* subject;
    const char* expected;
  } cases[] = {
      {1251, "Caf\u00E9 cr\u00E8me", "Caf\u0439 cr\u0438me"},
      {932, "\u201C\u00FA\u2013{ report", "\u65E5\u672C report"},
      {28591, "Caf\u00E9 cr\u00E8me", "Caf\u00E9 cr\u00E8me"},
  };
  for (const auto& k : cases) {
    pst::test_support::TempDir dir;
    const std::string path = dir.File("codepage.pst");
    pst::WriterOptions o{FileFormat::kAnsi, "Code page " + std::to_string(k.codepage)};
    o.storeCodePage = k.codepage;
    {
      pst::PstWriter w(path, o);
      const auto inbox = w.AddFolder(w.TopOfPersonalFolders(), "Inbox");
      w.AddMessage(inbox, Note(k.subject, k.subject));
      w.Finish();
    }
    const auto c = CompareFile(path);
    ASSERT_TRUE(c.reference.opened);
    EXPECT_TRUE(c.comparison.differences.empty()) << k.codepage << ":\n" << c.comparison.Text();
    EXPECT_EQ(c.comparison.candidateReadMore, 0);
    FastSessionFactory fast;
    const auto read = quillmere::testing::ReadWholeStore(fast, path);
    const auto* inbox = read.Find("\\\\Code page " + std::to_string(k.codepage) + "\\Top of Personal Folders\\Inbox");
    ASSERT_TRUE(inbox && inbox->items.size() == 1) << k.codepage;
    for (const auto& [name, field] : inbox->items[0].fields)
      if (std::string(name) == "subject") EXPECT_EQ(field.value, k.expected) << k.codepage;
  }
}

class MadeFileTest : public ::testing::TestWithParam<MadeSpec> {};

TEST_P(MadeFileTest, FastReadsWhatLibpffReads) {
  pst::test_support::TempDir dir;
  const std::string path = dir.File("made.pst");
  {
    pst::PstWriter w(path, {GetParam().format, "Made " + std::string(GetParam().name)});
    GetParam().fill(w, GetParam().format);
    w.Finish();
  }
  const auto verified = pst::ndb::VerifyFile(path);
  EXPECT_GE(verified.deepestDataTree, GetParam().dataTreeDepth);
  if (GetParam().format == FileFormat::kUnicode4k) EXPECT_GT(verified.compressedBlocks, 0u);
  const auto c = CompareFile(path);
  ASSERT_TRUE(c.reference.opened);
  EXPECT_TRUE(c.comparison.differences.empty()) << c.comparison.Text();
  EXPECT_EQ(c.comparison.itemsCompared, c.reference.ItemCount());
  EXPECT_EQ(c.comparison.candidateReadMore, 0);
}

INSTANTIATE_TEST_SUITE_P(Made, MadeFileTest, ::testing::ValuesIn(kMadeSpecs),
                         [](const auto& info) { return std::string(info.param.name); });

// Characters past U+FFFF are stored as surrogate pairs; libpff's UTF-8
// of them is wrong (readpst and the fast reader agree on the text as
// written), so this is the one place the two readers may differ.
TEST(SurrogatePairTest, FastGivesTheTextAsWrittenLibpffDiffersOnlyThere) {
  pst::test_support::TempDir dir;
  const std::string path = dir.File("emoji.pst");
  const std::string subject = "Emoji \U0001F600 and \U0001D11E";
  {
    pst::PstWriter w(path, {FileFormat::kUnicode, "Emoji"});
    const auto inbox = w.AddFolder(w.TopOfPersonalFolders(), "Inbox");
    w.AddMessage(inbox, Note("Plain", "plain"));
    w.AddMessage(inbox, Note(subject, "Pairs: \U0001F600\U0001D11E done"));
    w.Finish();
  }
  FastSessionFactory fast;
  const auto read = quillmere::testing::ReadWholeStore(fast, path);
  const quillmere::testing::FolderRead* inbox = read.Find("\\\\Emoji\\Top of Personal Folders\\Inbox");
  ASSERT_TRUE(inbox);
  ASSERT_EQ(inbox->items.size(), 2u);
  const auto field = [&](const char* name) {
    for (const auto& [n, f] : inbox->items[1].fields)
      if (std::string(n) == name) return f.value;
    return std::string("<none>");
  };
  EXPECT_EQ(field("subject"), subject);
  EXPECT_EQ(field("body"), "Pairs: \U0001F600\U0001D11E done");
  for (const auto& d : CompareFile(path).comparison.differences) {
    EXPECT_NE(d.find("Inbox item 2 "), std::string::npos) << d;
    EXPECT_TRUE(d.find(" subject: ") != std::string::npos || d.find(" body: ") != std::string::npos ||
                d.find(" fingerprint ") != std::string::npos)
        << d;
  }
}

// Every folder path the fast store gives leads back to that folder, also
// when a name holds a backslash or siblings of different parents share one.
TEST(FolderPathTest, EveryPathLeadsBackToItsFolder) {
  pst::test_support::TempDir dir;
  const std::string made = dir.File("names.pst");
  {
    pst::PstWriter w(made, {FileFormat::kUnicode, "Names"});
    NonLatinText(w, FileFormat::kUnicode);
    const auto a = w.AddFolder(w.TopOfPersonalFolders(), "A\\B");
    w.AddFolder(a, "C");
    const auto ab = w.AddFolder(w.TopOfPersonalFolders(), "A");
    w.AddFolder(w.AddFolder(ab, "B"), "C");
    w.Finish();
  }
  for (const std::string& path : {SamplePath("outlook.pst"), SamplePath("enron.pst"), made}) {
    FastSessionFactory fast;
    const auto read = quillmere::testing::ReadWholeStore(fast, path);
    auto session = fast.CreateStoreSession();
    ASSERT_TRUE(session->OpenPstStore(path));
    std::vector<const quillmere::testing::FolderRead*> todo = {read.root.get()};
    int checked = 0;
    while (!todo.empty()) {
      const auto* f = todo.back();
      todo.pop_back();
      auto found = session->GetFolderFromPath(f->path);
      ASSERT_TRUE(found) << f->path;
      EXPECT_EQ(found->GetFolderPath(), f->path);
      auto items = found->GetItems();
      EXPECT_EQ(items ? items->GetCount() : -1, f->itemCount.value) << f->path;
      ++checked;
      for (const auto& c : f->folders)
        if (c) todo.push_back(c.get());
    }
    EXPECT_GT(checked, 5) << path;
    EXPECT_FALSE(session->GetFolderFromPath(read.root->path + "\\No such folder"));
  }
}

// A corpus as the benchmarks make it: duplicates, near duplicates,
// attachments, non-Latin text and Outlook-like named properties.
TEST(GeneratedCorpusTest, FastReadsWhatLibpffReads) {
  for (FileFormat format : {FileFormat::kUnicode, FileFormat::kAnsi}) {
    pst::test_support::TempDir dir;
    const std::string path = dir.File("corpus.pst");
    cli::GenerateOptions o;
    o.format = format;
    o.items = 600;
    o.folders = 12;
    o.attachmentMax = 20000;
    o.nonLatinShare = 0.3;
    cli::GenerateCorpus(path, o);
    const auto c = CompareFile(path);
    ASSERT_TRUE(c.reference.opened);
    EXPECT_TRUE(c.comparison.differences.empty()) << c.comparison.Text();
    EXPECT_EQ(c.comparison.itemsCompared, 600);
  }
}

// The items of "Top of Personal Folders\Inbox", with every object they
// hang on kept alive (and closed in the right order).
struct InboxItems {
  InboxItems(StoreSessionFactory& factory, const std::string& path) {
    session = factory.CreateStoreSession();
    if (session) store = session->OpenPstStore(path);
    if (store) root = store->GetRootFolder();
    if (root) topList = root->GetFolders();
    if (topList) top = topList->GetItem(1);
    if (top) inboxList = top->GetFolders();
    for (int32_t i = 1; inboxList && i <= inboxList->GetCount() && !inbox; ++i) {
      inbox = inboxList->GetItem(i);
      if (inbox && !inbox->GetFolderPath().ends_with("\\Inbox")) inbox.reset();
    }
    if (inbox) items = inbox->GetItems();
  }
  std::unique_ptr<StoreSession> session;
  std::unique_ptr<PstStore> store;
  std::unique_ptr<MailFolder> root;
  std::unique_ptr<FolderList> topList;
  std::unique_ptr<MailFolder> top;
  std::unique_ptr<FolderList> inboxList;
  std::unique_ptr<MailFolder> inbox;
  std::unique_ptr<ItemList> items;
};

// The fast store hands a long body to the fingerprint block by block; the
// pieces join to the body libpff gives whole, and an empty body feeds
// nothing (the HTML body stands in for it).
TEST(BodyPiecesTest, ALongBodyComesInBlocksThatJoinToTheWholeBody) {
  for (FileFormat format : {FileFormat::kUnicode, FileFormat::kAnsi, FileFormat::kUnicode4k}) {
    pst::test_support::TempDir dir;
    const std::string path = dir.File("bodies.pst");
    {
      pst::PstWriter w(path, {format, "Bodies"});
      const auto inbox = w.AddFolder(w.TopOfPersonalFolders(), "Inbox");
      w.AddMessage(inbox, Note("Long", Filler(600000, "caf\u00E9 ")));
      pst::Message html = Note("HTML only", "");
      html.htmlBody = "<p>only HTML</p>";
      w.AddMessage(inbox, html);
      w.Finish();
    }
    FastSessionFactory fastFactory;
    LibpffSessionFactory libpffFactory;
    InboxItems fast(fastFactory, path);
    InboxItems libpff(libpffFactory, path);
    ASSERT_TRUE(fast.items && libpff.items) << int(format);
    auto& fastItems = *fast.items;
    auto& libpffItems = *libpff.items;
    ASSERT_EQ(fastItems.GetCount(), 2);
    ASSERT_EQ(libpffItems.GetCount(), 2);

    std::vector<std::string> pieces;
    EXPECT_TRUE(fastItems.GetItem(1)->FeedBodyText([&](std::string_view p) { pieces.emplace_back(p); }));
    std::string joined;
    size_t largest = 0;
    for (const auto& p : pieces) {
      joined += p;
      largest = std::max(largest, p.size());
    }
    const std::string whole = libpffItems.GetItem(1)->GetBodyText();
    EXPECT_EQ(joined, whole) << int(format);
    EXPECT_GT(pieces.size(), 8u) << int(format);
    EXPECT_LT(largest, whole.size() / 4) << int(format);

    pieces.clear();
    EXPECT_FALSE(fastItems.GetItem(2)->FeedBodyText([&](std::string_view p) { pieces.emplace_back(p); }));
    EXPECT_TRUE(pieces.empty());
  }
}

// Any file, a benchmark corpus say, compared side by side without holding
// what was read: QM_COMPARE_FILE=PATH (skipped without it).
TEST(NamedFileTest, FastReadsWhatLibpffReadsSideBySide) {
  const char* path = std::getenv("QM_COMPARE_FILE");
  if (!path || !*path) GTEST_SKIP() << "QM_COMPARE_FILE names no file";
  LibpffSessionFactory libpff;
  FastSessionFactory fast;
  const auto c = quillmere::testing::CompareFileInStep(libpff, fast, path);
  EXPECT_TRUE(c.differences.empty()) << c.Text();
  EXPECT_EQ(c.candidateReadMore, 0);
  std::printf("%s: %lld items compared\n", path, static_cast<long long>(c.itemsCompared));
}

// The side-by-side walk finds what the whole-file comparison finds, in
// both directions, on a file the readers do not read alike (the root
// folder's properties zeroed: libpff then lists no folders below it).
TEST(NamedFileTest, SideBySideFindsWhatTheWholeFileComparisonFinds) {
  pst::test_support::TempDir dir;
  const std::string path = dir.File("root-zeroed.pst");
  std::string bytes;
  {
    std::ifstream in(SamplePath("outlook.pst"), std::ios::binary);
    bytes.assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    pst::ndb::NodeDatabase db(SamplePath("outlook.pst"));
    const auto block = db.FindBlock(db.FindNode(pst::nids::kRootFolder)->bidData);
    std::fill_n(bytes.begin() + std::ptrdiff_t(block->ref.ib), block->cb, '\0');
  }
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  LibpffSessionFactory libpff;
  FastSessionFactory fast;
  for (bool fastFirst : {false, true}) {
    StoreSessionFactory& reference = fastFirst ? static_cast<StoreSessionFactory&>(fast) : libpff;
    StoreSessionFactory& candidate = fastFirst ? static_cast<StoreSessionFactory&>(libpff) : fast;
    const auto inStep = quillmere::testing::CompareFileInStep(reference, candidate, path);
    const auto whole = quillmere::testing::CompareStores(quillmere::testing::ReadWholeStore(reference, path),
                                                         quillmere::testing::ReadWholeStore(candidate, path));
    EXPECT_EQ(inStep.differences, whole.differences);
    EXPECT_EQ(inStep.candidateReadMore, whole.candidateReadMore);
    EXPECT_EQ(inStep.differences.empty(), !fastFirst) << inStep.Text();
  }
}

// ---- damaged copies ----------------------------------------------------------------

// A file of our writer with something of everything the damage can hit.
std::string MakeMixedFile(const std::string& path) {
  pst::PstWriter w(path, {FileFormat::kUnicode, "Mixed"});
  FewPlainItems(w, FileFormat::kUnicode);
  Attachments(w, FileFormat::kUnicode);
  const auto big = w.AddFolder(w.TopOfPersonalFolders(), "Big");
  w.AddMessage(big, Note("Past one block", Filler(40000)));
  for (int i = 0; i < 400; ++i) w.AddMessage(big, Note("Item " + std::to_string(i), "body " + std::to_string(i)));
  w.Finish();
  return path;
}

struct DamageBase {
  const char* name;
  std::function<std::string(const pst::test_support::TempDir&)> make;
};

const DamageBase kDamageBases[] = {
    {"outlook", [](const auto&) { return SamplePath("outlook.pst"); }},
    {"enron", [](const auto&) { return SamplePath("enron.pst"); }},
    {"mixed", [](const auto& dir) { return MakeMixedFile(dir.File("mixed.pst")); }},
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

class DamagedCopyTest : public ::testing::TestWithParam<DamageBase> {
 protected:
  // Compares the readers on one damaged copy; `what` names the damage.
  void Check(const std::string& bytes, const std::string& what) {
    const std::string path = dir.File("damaged.pst");
    WriteAll(path, bytes);
    const auto c = CompareFile(path);
    EXPECT_TRUE(c.comparison.differences.empty()) << what << ":\n" << c.comparison.Text();
    ++checked;
    if (c.reference.opened) ++opened;
  }

  pst::test_support::TempDir dir;
  int checked = 0;
  int opened = 0;
};

TEST_P(DamagedCopyTest, CutShort) {
  const std::string whole = ReadAll(GetParam().make(dir));
  for (double share : {0.25, 0.5, 0.75, 0.9, 0.97})
    Check(whole.substr(0, size_t(double(whole.size()) * share) / 512 * 512), "cut at " + std::to_string(share));
  Check(whole.substr(0, whole.size() - 512), "last page cut");
  EXPECT_GT(opened, 0) << "no cut opened at all: the cases test nothing";
}

// One block at a time, spread over the file, its data zeroed (the
// trailer kept, so the block is found and its bytes are wrong).
TEST_P(DamagedCopyTest, BlockZeroed) {
  const std::string source = GetParam().make(dir);
  const std::string whole = ReadAll(source);
  pst::ndb::NdbReader reader(source);
  const auto blocks = reader.ReadBlocks();
  const size_t step = std::max<size_t>(1, blocks.size() / 24);
  for (size_t k = 0; k < blocks.size(); k += step) {
    std::string bytes = whole;
    std::fill_n(bytes.begin() + std::ptrdiff_t(blocks[k].ref.ib), blocks[k].cb, '\0');
    char what[64];
    std::snprintf(what, sizeof what, "block 0x%llX zeroed", static_cast<unsigned long long>(blocks[k].ref.bid));
    Check(bytes, what);
  }
  EXPECT_GE(checked, 10);
}

// A B-tree page zeroed: every node or block it lists is lost to both.
TEST_P(DamagedCopyTest, TreePageZeroed) {
  const std::string source = GetParam().make(dir);
  const std::string whole = ReadAll(source);
  pst::ndb::NdbReader reader(source);
  std::vector<pst::ndb::NdbReader::PageVisit> pages;
  reader.ReadNodes(&pages);
  reader.ReadBlocks(&pages);
  for (const auto& p : pages) {
    if (p.level != 0) continue;
    std::string bytes = whole;
    std::fill_n(bytes.begin() + std::ptrdiff_t(p.ref.ib), 512, '\0');
    Check(bytes, "page at " + std::to_string(p.ref.ib) + " zeroed");
    if (checked >= 12) break;
  }
}

INSTANTIATE_TEST_SUITE_P(Damaged, DamagedCopyTest, ::testing::ValuesIn(kDamageBases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillmere::store
