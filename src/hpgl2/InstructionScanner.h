#pragma once

#include <cstddef>
#include <string_view>

namespace korvid {

// One HP-GL/2 instruction as written: its mnemonic in upper case and the text of its
// parameters (for LB and the other text-taking instructions: the text itself).
struct Instruction {
  char mnemonic[2] = {0, 0};
  std::string_view parameters;
  std::size_t offset = 0;  // byte position of the mnemonic in the file

  bool Is(char first, char second) const { return mnemonic[0] == first && mnemonic[1] == second; }
};

// Splits a plot file into instructions the way an HP-GL/2 device parses its input:
// mnemonics in either case, parameters up to ";" or the next mnemonic, blanks and line
// ends anywhere between instructions. PCL, PJL and device-control escape sequences, and
// PCL text between HP-GL/2 parts, are skipped; so is anything between instructions that
// cannot start one. Every step moves forward, so any input ends in time linear in its
// length. A label whose terminator never comes ends at its line end.
class InstructionScanner {
 public:
  static constexpr char kEtx = 3;

  explicit InstructionScanner(std::string_view bytes) : text_(bytes) {}

  // The next instruction, or false at the end of the text.
  bool Next(Instruction& instruction);

  // DT: the character that ends label text, and whether it is drawn as part of the label.
  void SetLabelTerminator(char terminator, bool printing) {
    terminator_ = terminator;
    terminatorPrinting_ = printing;
  }

  std::size_t Position() const { return pos_; }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  void SkipEscape();
  void SkipPcLSequence();
  void SkipPclText();
  void SkipToLineEnd();
  std::string_view NumericParameters();
  std::string_view LabelText();
  std::string_view UpToSemicolon();
  std::string_view QuotedText();
  std::string_view CharacterParameter();

  std::string_view text_;
  std::size_t pos_ = 0;
  char terminator_ = kEtx;
  bool terminatorPrinting_ = false;
  // From here to the end the terminator `missingTerminator_` does not occur.
  char missingTerminator_ = 0;
  std::size_t missingFrom_ = static_cast<std::size_t>(-1);
};

}  // namespace korvid
