#include "detect/comparison_key.h"

#include <gtest/gtest.h>

#include "tests/detect/run_fixture.h"

namespace quillmere::detect {
namespace {

using namespace quillmere::testing_support;
using C = ComparisonCriteria;

store::ItemDescription Item(std::function<void(store::ItemDescription&)> edit) {
  store::ItemDescription item = Mail("Subject");
  item.senderName = "Sender";
  item.receivedByName = "Receiver";
  item.body = "Body";
  item.htmlBody = "<p>Body</p>";
  item.transportHeaders = "Received: from a";
  edit(item);
  return item;
}

struct PairCase;
void PrintTo(const PairCase& c, std::ostream* os);
struct PairCase {
  const char* name;
  ComparisonCriteria criteria;
  store::ItemDescription first;
  store::ItemDescription second;
  bool duplicate;
};
void PrintTo(const PairCase& c, std::ostream* os) { *os << c.name; }


class ComparisonKeyTest : public testing::TestWithParam<PairCase> {};

TEST_P(ComparisonKeyTest, SecondItemIsADuplicateOrNot) {
  const auto& c = GetParam();
  RecordedRun run;
  run.sessions.AddFile(kFile, Mailbox({c.first, c.second}));
  run.Run(run.OneFile({kInbox}, 1, c.criteria));
  EXPECT_EQ(run.totals.duplicates, c.duplicate ? 1u : 0u) << c.name;
}

const auto kNoChange = [](store::ItemDescription&) {};
store::AttachmentDescription File(const char* name) { return {name, "x", std::nullopt}; }

INSTANTIATE_TEST_SUITE_P(
    Fields, ComparisonKeyTest,
    testing::Values(
        PairCase{"blanks around the subject do not count", Criteria({&C::subject}), Item(kNoChange),
                 Item([](auto& i) { i.subject = " \tSubject\r\n"; }), true},
        PairCase{"letter case of the subject counts", Criteria({&C::subject}), Item(kNoChange),
                 Item([](auto& i) { i.subject = "subject"; }), false},
        PairCase{"no attachments on either", Criteria({&C::attachments}), Item(kNoChange),
                 Item([](auto& i) { i.subject = "other"; }), true},
        PairCase{"the same number of attachments, other names",
                 Criteria({&C::attachments}), Item([](auto& i) { i.attachments = {File("a"), File("b")}; }),
                 Item([](auto& i) { i.attachments = {File("c"), File("d")}; }), true},
        PairCase{"another number of attachments", Criteria({&C::attachments}),
                 Item([](auto& i) { i.attachments = {File("a")}; }),
                 Item([](auto& i) { i.attachments = {File("a"), File("b")}; }), false},
        PairCase{"sent the same day at other times", Criteria({&C::sentTime}),
                 Item([](auto& i) { i.sentTimeUtc = 1709683200; }),
                 Item([](auto& i) { i.sentTimeUtc = 1709683200 + 86399; }), true},
        PairCase{"sent on the next day", Criteria({&C::sentTime}),
                 Item([](auto& i) { i.sentTimeUtc = 1709683200; }),
                 Item([](auto& i) { i.sentTimeUtc = 1709683200 + 86400; }), false},
        PairCase{"an empty body is compared by the HTML body", Criteria({&C::text}),
                 Item([](auto& i) { i.body = ""; }), Item([](auto& i) { i.body = "<p>Body</p>"; }), true},
        PairCase{"a body is never compared by the HTML body", Criteria({&C::text}), Item(kNoChange),
                 Item([](auto& i) { i.htmlBody = "<p>other</p>"; }), true},
        PairCase{"bodies differ", Criteria({&C::text}), Item(kNoChange),
                 Item([](auto& i) { i.body = "Body."; }), false},
        PairCase{"sender names differ", Criteria({&C::senderName}), Item(kNoChange),
                 Item([](auto& i) { i.senderName = "Sender2"; }), false},
        PairCase{"receiver names differ", Criteria({&C::receiverName, &C::subject}), Item(kNoChange),
                 Item([](auto& i) { i.receivedByName = "Receiver2"; }), false},
        PairCase{"internet headers differ", Criteria({&C::internetHeader}), Item(kNoChange),
                 Item([](auto& i) { i.transportHeaders = "Received: from b"; }), false},
        PairCase{"fields outside the criteria play no part", Criteria({&C::subject, &C::senderEmail}),
                 Item(kNoChange), Item([](auto& i) { i.body = "other"; i.senderName = "other"; }), true},
        PairCase{"non-Latin subjects that share their low bytes", Criteria({&C::subject}),
                 Item([](auto& i) { i.subject = "一月报告"; }), Item([](auto& i) { i.subject = "一周总结"; }), false},
        PairCase{"no criterion at all: every key is empty", ComparisonCriteria{}, Item(kNoChange),
                 Item([](auto& i) { i.subject = "other"; }), true}));

TEST(ComparisonKeyTest, TheKeyJoinsTheFieldsInOrderWithNothingBetween) {
  RecordedRun run;
  auto item = Item([](auto& i) { i.attachments = {File("a"), File("b")}; });
  item.sentTimeUtc = 1709683200;
  run.sessions.AddFile(kFile, Mailbox({item}));
  auto session = run.sessions.CreateStoreSession();
  ASSERT_TRUE(session->OpenPstStore(kFile));
  auto mail = session->GetFolderFromPath(kInbox)->GetItems()->GetItem(1);
  const ComparisonCriteria all{1, 1, 1, 1, 1, 1, 1, 1};
  EXPECT_EQ(BuildComparisonKey(*mail, all),
            "BodySubjecta@example.comSenderReceiverReceived: from aWednesday, March 06, 20242");
  FingerprintHasher hasher;
  EXPECT_EQ(FingerprintItem(*mail, all, hasher), ComputeFingerprint(BuildComparisonKey(*mail, all)));
}

TEST(ComparisonKeyTest, ItemsOutsideTheDateFilterAreNeverFingerprinted) {
  RecordedRun run;
  auto before = Mail("Same");
  before.sentTimeUtc = 1704067200;  // 2024-01-01, outside the filter
  auto inside = Mail("Same");
  auto undated = Mail("Same");
  undated.sentTimeUtc.reset();
  run.sessions.AddFile(kFile, Mailbox({before, inside, undated, inside}));
  auto request = run.OneFile({kInbox}, 1, Criteria({&C::subject}));
  request.dateRanges = {{OleDate::FromCivil({2024, 3, 1, 0, 0, 0}), OleDate::FromCivil({2024, 3, 31, 0, 0, 0})}};
  run.Run(request);
  EXPECT_EQ(run.totals.duplicates, 1u);  // only the second item inside the range
  EXPECT_EQ(run.sink.progressPosition, 4);
}

}  // namespace
}  // namespace quillmere::detect
