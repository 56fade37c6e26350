#include "backup/fbservice.h"

#include <gtest/gtest.h>

#include "../support/printers.h"

namespace {

ServiceLine parse(const QByteArray& bytes) { return parseLineReply(bytes.constData(), size_t(bytes.size())); }

TEST(LineReply, ReadsLinesAndTheEnd) {
  const ServiceLine line = parse(QByteArray("\x3e\x05\x00hello\x01", 9));
  EXPECT_EQ(line.text, "hello");
  EXPECT_FALSE(line.end);
  EXPECT_TRUE(parse(QByteArray("\x3e\x00\x00\x01", 4)).end);
  const ServiceLine waiting = parse(QByteArray("\x3e\x00\x00\x40\x01", 5));
  EXPECT_TRUE(waiting.notYet);
  EXPECT_FALSE(waiting.end);
}

TEST(LineReply, RefusesUnexpectedForms) {
  const std::vector<QByteArray> bad = {
      QByteArray(),                            // nothing
      QByteArray("\x02", 1),                   // truncated
      QByteArray("\x3f\x00\x00\x01", 4),       // another item
      QByteArray("\x3e\x05", 2),               // length cut off
      QByteArray("\x3e\xff\x00hello\x01", 9),  // runs past the buffer
      QByteArray("\x3e\x01\x00x", 4),          // no end marker
      QByteArray("\x3e\x01\x00x\x07\x01", 6),  // unknown flag
  };
  for (const QByteArray& reply : bad) {
    SCOPED_TRACE(reply.toHex().toStdString());
    EXPECT_THROW(parse(reply), Error);
  }
}

TEST(Spb, EncodesAndRefusesWhatDoesNotFit) {
  SpbBuilder spb;
  spb.shortString(28, "ab", "x");
  spb.longString(106, "xyz", "x");
  spb.integer(108, 0x01020304);
  EXPECT_EQ(spb.bytes(), QByteArray("\x1c\x02"
                                    "ab"
                                    "\x6a\x03\x00"
                                    "xyz"
                                    "\x6c\x04\x03\x02\x01",
                                    15));
  EXPECT_THROW(spb.shortString(28, QByteArray(256, 'a'), "user name"), Error);
  EXPECT_THROW(spb.longString(106, QByteArray(70000, 'a'), "database path"), Error);
}

}  // namespace
