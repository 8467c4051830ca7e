// The outline font labels fall back on: opened with FreeType, glyphs flattened once and kept,
// any thread asking. The font's own outlines are compared only with themselves: a machine
// without a Japanese font skips the glyph tests.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "outlines/OutlineFont.h"

namespace korvid {
namespace {

TEST(OutlineFont, WhatIsNoFontOpensNothing) {
  EXPECT_EQ(OutlineFont::Open("/nonexistent/korvid/font.ttf"), nullptr);
  EXPECT_EQ(OutlineFont::Open(__FILE__), nullptr);
}

TEST(OutlineFont, GlyphsAreClosedContoursInTheEmSquare) {
  const OutlineFont* font = OutlineFont::Japanese();
  if (!font) GTEST_SKIP() << "no Japanese outline font installed (fonts-ipafont-gothic)";
  for (const char32_t code : {U'あ', U'漢', U'ｱ', U'A'}) {
    const OutlineGlyph* glyph = font->Glyph(code);
    ASSERT_NE(glyph, nullptr) << static_cast<unsigned>(code);
    EXPECT_FALSE(glyph->contours.empty());
    for (const auto& contour : glyph->contours) {
      EXPECT_GE(contour.size(), 3u);
      for (const OutlinePoint& p : contour)
        EXPECT_TRUE(p.x > -0.2 && p.x < 1.2 && p.y > -0.3 && p.y < 1.1) << p.x << "," << p.y;
    }
    EXPECT_EQ(font->Glyph(code), glyph) << "kept, not made again";
  }
  EXPECT_EQ(font->Glyph(0xE123), nullptr) << "a private-use code the font has no glyph for";
}

// Threads of a batch conversion ask at once; each gets the same glyph.
TEST(OutlineFont, ManyThreadsAskAtOnce) {
  const OutlineFont* font = OutlineFont::Japanese();
  if (!font) GTEST_SKIP() << "no Japanese outline font installed";
  std::vector<const OutlineGlyph*> seen(8);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&, i] {
      for (char32_t code = U'亜'; code < U'亜' + 200; ++code)
        font->Glyph(code);
      seen[i] = font->Glyph(U'字');
    });
  }
  for (std::thread& t : threads)
    t.join();
  for (const OutlineGlyph* glyph : seen)
    EXPECT_EQ(glyph, seen[0]);
}

}  // namespace
}  // namespace korvid
