// How a plot file splits into instructions: mnemonics, parameter texts, labels, escape
// sequences and junk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hpgl2/InstructionScanner.h"

namespace korvid {
namespace {

// "MN[params]" for each instruction, in order.
std::string Split(std::string_view text) {
  InstructionScanner scanner(text);
  Instruction instruction;
  std::string out;
  while (scanner.Next(instruction)) {
    if (instruction.Is('D', 'T') && !instruction.parameters.empty())
      scanner.SetLabelTerminator(
          instruction.parameters[0],
          instruction.parameters.size() >= 3 && instruction.parameters.substr(1, 2) == ",0");
    out += std::string(instruction.mnemonic, 2) + "[" + std::string(instruction.parameters) + "]";
  }
  return out;
}

struct ScanCase {
  const char* name;
  std::string text;
  std::string split;
};

class ScannerCases : public testing::TestWithParam<ScanCase> {};

TEST_P(ScannerCases, SplitsAsAPlotterDoes) {
  EXPECT_EQ(Split(GetParam().text), GetParam().split);
}

const std::string kEsc = "\x1b";

INSTANTIATE_TEST_SUITE_P(
    Syntax, ScannerCases,
    testing::Values(
        ScanCase{"Semicolons", "IN;SP1;PA0,0;", "IN[]SP[1]PA[0,0]"},
        ScanCase{"NoSeparators", "INSP1PA0,0PD10,10", "IN[]SP[1]PA[0,0]PD[10,10]"},
        ScanCase{"LowerCase", "in;pa1,2;", "IN[]PA[1,2]"},
        ScanCase{"BlanksBetween", " IN ;\r\n PA 1 2 ;\n", "IN[ ]PA[ 1 2 ]"},
        ScanCase{"JunkSkipped", "IN;#%&PA1,2;*", "IN[]PA[1,2]"},
        ScanCase{"LoneLetterSkipped", "P;PA1,2;", "PA[1,2]"},
        ScanCase{"LabelToEtx", "LBAB;C;D\x03PA1,1;", "LB[AB;C;D]PA[1,1]"},
        ScanCase{"LabelWithoutEnd", "LBabc", "LB[abc]"},
        ScanCase{"LabelsEndingAtLineEnds", "LBab\nPA1,1;LBcd\r\nPU;", "LB[ab]PA[1,1]LB[cd]PU[]"},
        ScanCase{"TerminatorFurtherOn", "LBab\ncd\x03PU;", "LB[ab\ncd]PU[]"},
        ScanCase{"DtSetsTerminator", "DT*;LBx\x03y*PA1,1", "DT[*]LB[x\x03y]PA[1,1]"},
        ScanCase{"DtPrintingTerminator", "DT#,0;LBab#PU", "DT[#,0]LB[ab#]PU[]"},
        ScanCase{"PeToSemicolon", "PE<=@AB;PU;", "PE[<=@AB]PU[]"},
        ScanCase{"CommentQuoted", "CO\"PA1,1;\";PU;", "CO[PA1,1;]PU[]"},
        ScanCase{"CommentUnquoted", "CO draw nothing;PU;", "CO[draw nothing]PU[]"},
        ScanCase{"EscapeReset", kEsc + "EIN;", "IN[]"},
        ScanCase{"UniversalExitAndPjl", kEsc + "%-12345X@PJL ENTER LANGUAGE=HPGL2\r\nIN;", "IN[]"},
        ScanCase{"EnterHpgl2", kEsc + "%0BIN;" + kEsc + "%0A", "IN[]"},
        ScanCase{"PclTextSkipped", kEsc + "%1AHello PA1,1" + kEsc + "%1BPU;", "PU[]"},
        ScanCase{"PclRasterDataSkipped", kEsc + "*b4WPAPD" + "PU;", "PU[]"},
        ScanCase{"DeviceControl", kEsc + ".I81;;17:" + kEsc + ".N;19:" + kEsc + ".(IN;", "IN[]"},
        ScanCase{"QuotedStringParameter", "BP1,\"PLOT IN DRAWING\";PU;",
                 "BP[1,\"PLOT IN DRAWING\"]PU[]"},
        ScanCase{"SymbolMode", "SM*;PA1,1;SM;", "SM[*]PA[1,1]SM[]"}),
    [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvid
