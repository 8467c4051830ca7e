#include "labels/HersheyFont.h"

#include <cstdlib>
#include <string>

namespace korvid {
namespace {

constexpr char kCoordinateZero = 'R';
constexpr std::size_t kNumberColumns = 5;
constexpr std::size_t kCountColumns = 3;

// The vertex count field is right-aligned in three columns; blanks pad it.
std::optional<int> ReadVertexCount(std::string_view field) {
  int count = 0;
  bool anyDigit = false;
  for (const char c : field) {
    if (c == ' ' && !anyDigit) continue;
    if (c < '0' || c > '9') return std::nullopt;
    count = count * 10 + (c - '0');
    anyDigit = true;
  }
  if (!anyDigit || count < 1) return std::nullopt;
  return count;
}

int Coordinate(char c) {
  return static_cast<int>(static_cast<unsigned char>(c)) - kCoordinateZero;
}

// Original .jhf files wrap long glyphs onto continuation lines; the vertex count says how many
// pairs belong to the glyph, so the pairs are read across line ends.
std::optional<HersheyGlyph> ReadGlyph(std::string_view text, std::size_t& position) {
  const std::size_t lineEnd = text.find('\n', position);
  const std::string_view head =
      text.substr(position, (lineEnd == std::string_view::npos ? text.size() : lineEnd) - position);
  if (head.size() < kNumberColumns + kCountColumns + 2) {
    position = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
    return std::nullopt;
  }
  const std::optional<int> vertexCount =
      ReadVertexCount(head.substr(kNumberColumns, kCountColumns));
  position += kNumberColumns + kCountColumns;
  if (!vertexCount) {
    position = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
    return std::nullopt;
  }
  std::string pairs;  // the bearing pair followed by the vertex pairs, line ends removed
  const std::size_t wanted = 2 * static_cast<std::size_t>(*vertexCount);
  while (position < text.size() && pairs.size() < wanted) {
    const char c = text[position++];
    if (c != '\n' && c != '\r') pairs.push_back(c);
  }
  while (position < text.size() && text[position] != '\n')
    ++position;  // rest of the line
  if (position < text.size()) ++position;
  if (pairs.size() < wanted) return std::nullopt;

  HersheyGlyph glyph{Coordinate(pairs[0]), Coordinate(pairs[1]), {}};
  bool penDown = false;
  for (std::size_t i = 2; i < wanted; i += 2) {
    if (pairs[i] == ' ' && pairs[i + 1] == kCoordinateZero) {
      penDown = false;
      continue;
    }
    if (!penDown) glyph.strokes.emplace_back();
    glyph.strokes.back().push_back({Coordinate(pairs[i]), Coordinate(pairs[i + 1])});
    penDown = true;
  }
  return glyph;
}

}  // namespace

HersheyFont HersheyFont::Parse(std::string_view jhfText) {
  HersheyFont font;
  std::size_t position = 0;
  while (position < jhfText.size()) {
    if (jhfText[position] == '\n' || jhfText[position] == '\r') {
      ++position;
      continue;
    }
    font.glyphs_.push_back(ReadGlyph(jhfText, position));
  }
  return font;
}

const HersheyGlyph* HersheyFont::Find(unsigned char code) const {
  if (code < kFirstCode) return nullptr;
  const std::size_t index = code - kFirstCode;
  if (index >= glyphs_.size() || !glyphs_[index]) return nullptr;
  return &*glyphs_[index];
}

}  // namespace korvid
