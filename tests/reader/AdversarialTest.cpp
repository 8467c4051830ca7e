// Inputs that break other readers: they read in linear time (a quadratic reader would take
// hours) and never crash.
#include <random>

#include "ReaderFixture.h"

namespace korvid::testing {
namespace {

using ::testing::AnyOf;
using ::testing::HasSubstr;
using ::testing::Not;

TEST_F(ReaderTest, LongLinesCommandsAndNumbers) {
  std::string line;
  while (line.size() < 50'000'000)
    line += "PD12345,67890,";
  EXPECT_EQ(Read(std::move(line)).end, ReadEnd::NoTerminator) << "50 MB without a terminator";
  // Each "PA" breaks the coordinate list off and restarts it after the blanks before it.
  for (const char* piece : {"PA", " \n PA"}) {
    std::string text = "PA";
    for (int i = 0; i < 1'000'000; ++i)
      text += piece;
    EXPECT_EQ(Summary(Read(text + "1,2;PD;PA3,4;" + std::string(2'000'000, ' ') + "PA")),
              "1,2>3,4");
  }
  const std::string digits400(400, '7');
  const std::string rest = "PD1," + std::string(3'000'000, ' ') + "2;PD1,0." +
                           std::string(5'000'000, '0') + "1;CI" + std::string(2'000'000, '0') +
                           "3;";
  // 400 sevens do not fit a float; 1e-5000001 underflows to 0.
  EXPECT_EQ(Summary(Read("PU0,0;PD" + digits400.substr(0, 30) + "," + digits400 + ";" + rest)),
            "error 6 at 2");
  EXPECT_EQ(Summary(Read(rest)), "0,0>1,2 | 1,2>1,0 | arc -2,3,4,-3 4,0>4,0");
}

TEST_F(ReaderTest, NulAndRandomBytes) {
  std::mt19937 random(20261207);
  const char alphabet[] = "PUDAIRNCLTSGF0123456789,;.-+ E&HO\n\r\t\0";
  for (int round = 0; round < 200; ++round) {
    std::string text(1 + random() % 4000, '\0');
    for (char& c : text)
      c = round % 2 ? static_cast<char>(random()) : alphabet[random() % (sizeof alphabet)];
    EXPECT_THAT(Summary(Read(text)), Not(AnyOf(HasSubstr("inf"), HasSubstr("nan")))) << round;
  }
  // NUL is an ordinary character: it ends a number and is not a command.
  EXPECT_EQ(Summary(Read(std::string("PU0,0;\0PD9,9;PD1,\0002;", 20))), "0,0>1,0");
}

}  // namespace
}  // namespace korvid::testing
