#pragma once

#include <cstddef>
#include <string_view>

#include "hpgl2/GraphicsState.h"

namespace korvid {

// One HP-GL/2 instruction as written: its mnemonic in upper case and the text of its
// parameters (for LB and the other text-taking instructions: the text itself).
struct Instruction {
  char mnemonic[2] = {0, 0};
  std::string_view parameters;
  std::size_t offset = 0;  // byte position of the mnemonic in the file

  bool Is(char first, char second) const { return mnemonic[0] == first && mnemonic[1] == second; }
};

// A PCL (or HP RTL) escape sequence the scanner met between instructions.
struct EscapeSequence {
  enum class Type : unsigned char {
    Reset,          // ESC E
    EnterHpgl2,     // ESC % n B
    EnterPcl,       // ESC % n A
    FormFeed,       // a form feed in PCL text
    Parameterized,  // ESC * r 1 A and the like: one value and letter of it at a time
  };
  Type type = Type::Parameterized;
  char parameterized = 0;  // '*', '&', '(' ...
  char group = 0;          // 'r', 'b', 'l' ...
  char letter = 0;         // the command's letter, upper case
  double value = 0;
  std::string_view data;  // the bytes a data-carrying command (ESC * b n W) brings
};

// Hears about the escape sequences, as the scanner passes them.
class EscapeListener {
 public:
  virtual ~EscapeListener() = default;
  virtual void Escape(const EscapeSequence& sequence) = 0;
};

// Splits a plot file into instructions the way an HP-GL/2 device parses its input:
// mnemonics in either case, parameters up to ";" or the next mnemonic, blanks and line
// ends anywhere between instructions. PCL, PJL and device-control escape sequences, and
// PCL text between HP-GL/2 parts, are skipped; so is anything between instructions that
// cannot start one. Every step moves forward, so any input ends in time linear in its
// length. A label whose terminator never comes ends at its line end.
class InstructionScanner {
 public:
  static constexpr char kEtx = korvid::kEtx;

  explicit InstructionScanner(std::string_view bytes) : text_(bytes) {}

  // The next instruction, or false at the end of the text.
  bool Next(Instruction& instruction);

  // DT: the character that ends label text, and whether it is drawn as part of the label.
  void SetLabelTerminator(char terminator, bool printing) {
    own_ = {terminator, printing};
    terminator_ = &own_;
  }
  // Ends labels with whatever `terminator` holds when each label starts (the graphics
  // state's DT, which DF and IN set back).
  void FollowLabelTerminator(const LabelTerminator* terminator) { terminator_ = terminator; }
  void SetEscapeListener(EscapeListener* listener) { listener_ = listener; }

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

  void Tell(const EscapeSequence& sequence) const {
    if (listener_) listener_->Escape(sequence);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  LabelTerminator own_;
  const LabelTerminator* terminator_ = &own_;
  EscapeListener* listener_ = nullptr;
  // From here to the end the terminator `missingTerminator_` does not occur.
  char missingTerminator_ = 0;
  std::size_t missingFrom_ = static_cast<std::size_t>(-1);
};

}  // namespace korvid
