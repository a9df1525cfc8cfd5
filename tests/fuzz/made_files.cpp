#include "tests/fuzz/made_files.h"

#include "pst/messaging/pst_writer.h"

namespace quillmere::fuzz {

namespace {

pst::Message MakeMessage(int n, const std::string& subject) {
  pst::Message m;
  m.subject = subject;
  m.senderEmail = "sender" + std::to_string(n % 3) + "@example.org";
  m.senderName = "Sender " + std::to_string(n % 3);
  m.receivedByName = "Receiver";
  m.body = "Body of " + subject + "\r\n";
  // Long enough for the 4 KB-page file to deflate it.
  if (n % 3 == 0) for (int k = 0; k < 40; ++k) m.body += "Line " + std::to_string(k) + " of " + subject + "\r\n";
  if (n % 2 == 0) m.htmlBody = "<html><body>" + subject + "</body></html>";
  m.transportHeaders = "Received: from a\r\nSubject: " + subject + "\r\n";
  m.submitTimeUtc = 1709726400 + 3600 * n;
  if (n % 4 == 1) m.attachments.push_back({"a.txt", "attachment " + std::to_string(n)});
  m.recipients.push_back({"Receiver", "receiver@example.org", 1});
  return m;
}

std::string WriteOne(const std::string& path, pst::FileFormat format, int messages) {
  pst::PstWriter writer(path, {format, "Made Folders", 7});
  const auto top = writer.TopOfPersonalFolders();
  const auto inbox = writer.AddFolder(top, "Inbox");
  const auto nested = writer.AddFolder(inbox, "Nested");
  const auto calendar = writer.AddFolder(top, "Calendar", "IPF.Appointment");
  for (int i = 0; i < messages; ++i) writer.AddMessage(inbox, MakeMessage(i, "Subject " + std::to_string(i % 3)));
  writer.AddMessage(nested, MakeMessage(1, "Subject 1"));
  auto appointment = MakeMessage(2, "Meeting");
  appointment.messageClass = "IPM.Appointment";
  writer.AddMessage(calendar, appointment);
  writer.AddMessage(writer.DeletedItems(), MakeMessage(5, "Deleted"));
  writer.Finish();
  return path;
}

}  // namespace

std::vector<std::string> WriteMadeFiles(const std::string& folder) {
  return {
      WriteOne(folder + "/made-unicode.pst", pst::FileFormat::kUnicode, 6),
      WriteOne(folder + "/made-ansi.pst", pst::FileFormat::kAnsi, 6),
      WriteOne(folder + "/made-ost4k.ost", pst::FileFormat::kUnicode4k, 6),
  };
}

}  // namespace quillmere::fuzz
