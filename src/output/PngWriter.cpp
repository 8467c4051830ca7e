#include "output/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

#include "model/BothAtOnce.h"
#include "model/RuntimeError.h"

namespace korvid {

namespace {

constexpr std::size_t kMostPaletteColours = 256;
constexpr std::size_t kLargestChunk = 1 << 20;
// Below this many pixels a second thread costs more than it saves.
constexpr std::size_t kParallelFromPixels = 256 * 1024;

// Each pixel's place in the palette, or nothing once the image has too many colours.
struct IndexedPixels {
  std::vector<QRgb> palette;
  std::vector<std::uint8_t> indices;  // row by row
};

// The place of `colour` in the palette, added when new; -1 when the palette is full.
int PaletteIndex(std::vector<QRgb>& palette, QRgb colour) {
  const auto found = std::find(palette.begin(), palette.end(), colour);
  if (found != palette.end()) return static_cast<int>(found - palette.begin());
  if (palette.size() == kMostPaletteColours) return -1;
  palette.push_back(colour);
  return static_cast<int>(palette.size() - 1);
}

// Indexes the rows from `top` up to `bottom`.
bool Index(const QImage& image, int top, int bottom, IndexedPixels& indexed) {
  const int width = image.width();
  indexed.indices.resize(static_cast<std::size_t>(width) * (bottom - top));
  if (bottom <= top) return true;
  std::uint8_t* out = indexed.indices.data();
  // The colour of the last pixel, and the places of the colours met lately by a hash of
  // them: a thin line across white paper switches between two colours at every pixel,
  // where lines of many pens cross among several.
  struct Recent {
    QRgb colour = 0;  // no pixel is 0: all are opaque
    int index = 0;
  };
  std::array<Recent, 64> recent{};
  QRgb last = 0;
  int lastIndex = 0;
  for (int y = top; y < bottom; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      const QRgb colour = row[x] | 0xff000000;
      if (colour != last) {
        Recent& slot = recent[(colour * 0x9e3779b1u) >> 26];
        if (slot.colour != colour) {
          const int index = PaletteIndex(indexed.palette, colour);
          if (index < 0) return false;
          slot = {colour, index};
        }
        last = colour;
        lastIndex = slot.index;
      }
      *out++ = static_cast<std::uint8_t>(lastIndex);
    }
  }
  return true;
}

int BitsFor(std::size_t colours) {
  if (colours <= 2) return 1;
  if (colours <= 4) return 2;
  if (colours <= 16) return 4;
  return 8;
}

template <int kBits>
void PackRow(const std::uint8_t* in, int width, std::uint8_t* out) {
  constexpr int kPerByte = 8 / kBits;
  int x = 0;
  for (; x + kPerByte <= width; x += kPerByte) {
    unsigned byte = 0;
    for (int i = 0; i < kPerByte; ++i)
      byte = (byte << kBits) | in[x + i];
    *out++ = static_cast<std::uint8_t>(byte);
  }
  if (x < width) {
    unsigned byte = 0;
    int i = 0;
    for (; x < width; ++x, ++i)
      byte = (byte << kBits) | in[x];
    *out = static_cast<std::uint8_t>(byte << (kBits * (kPerByte - i)));
  }
}

// The rows as PNG holds them before compression: a filter byte (none) and the pixels.
std::vector<std::uint8_t> PackedRows(const IndexedPixels& indexed, int width, int height,
                                     int bits) {
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * bits + 7) / 8;
  std::vector<std::uint8_t> rows((rowBytes + 1) * height, 0);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* out = rows.data() + (rowBytes + 1) * y + 1;
    const std::uint8_t* in = indexed.indices.data() + static_cast<std::size_t>(width) * y;
    switch (bits) {
      case 1:
        PackRow<1>(in, width, out);
        break;
      case 2:
        PackRow<2>(in, width, out);
        break;
      case 4:
        PackRow<4>(in, width, out);
        break;
      default:
        std::copy(in, in + width, out);
        break;
    }
  }
  return rows;
}

std::vector<std::uint8_t> RgbRows(const QImage& image, int top, int bottom) {
  const int width = image.width();
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  std::vector<std::uint8_t> rows((rowBytes + 1) * (bottom - top), 0);
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* out = rows.data() + (rowBytes + 1) * (y - top) + 1;
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      *out++ = static_cast<std::uint8_t>(qRed(row[x]));
      *out++ = static_cast<std::uint8_t>(qGreen(row[x]));
      *out++ = static_cast<std::uint8_t>(qBlue(row[x]));
    }
  }
  return rows;
}

// A raw deflate stream of the bytes. Unless it is the last part, it ends on a byte
// boundary without a final block (a sync flush), so that the next part's stream can
// follow it directly.
std::vector<std::uint8_t> RawDeflate(const std::vector<std::uint8_t>& bytes, bool last) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -15, 8, Z_RLE) != Z_OK)
    throw RuntimeError(err::kOutOfMemory);
  // The bound and room for the sync flush's empty stored block.
  std::vector<std::uint8_t> packed(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 16);
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = packed.data();
  stream.avail_out = static_cast<uInt>(packed.size());
  const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
  const bool done = last ? result == Z_STREAM_END
                         : result == Z_OK && stream.avail_in == 0 && stream.avail_out > 0;
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  if (!done) throw RuntimeError(err::kOutOfMemory);
  return packed;
}

// One band of rows compressed on its own, with the checksum of its bytes.
struct PackedBand {
  std::vector<std::uint8_t> deflated;
  uLong sum = 1;
  std::size_t rawBytes = 0;
};

PackedBand PackBand(const std::vector<std::uint8_t>& rows, bool last) {
  return {RawDeflate(rows, last), adler32(1, rows.data(), static_cast<uInt>(rows.size())),
          rows.size()};
}

// The two bands as one zlib stream, the streams joined as the format allows. The bytes
// differ from a single pass, the pixels do not.
std::vector<std::uint8_t> ZlibStream(const PackedBand& upper, const PackedBand& lower) {
  std::vector<std::uint8_t> packed{0x78, 0x01};  // deflate, 32 KiB window, fastest level
  packed.reserve(2 + upper.deflated.size() + lower.deflated.size() + 4);
  packed.insert(packed.end(), upper.deflated.begin(), upper.deflated.end());
  packed.insert(packed.end(), lower.deflated.begin(), lower.deflated.end());
  const uLong checksum =
      adler32_combine(upper.sum, lower.sum, static_cast<z_off_t>(lower.rawBytes));
  for (int shift = 24; shift >= 0; shift -= 8)
    packed.push_back(static_cast<std::uint8_t>(checksum >> shift));
  return packed;
}

// The lower band's palette merged into the upper's, its indices changed to match; false
// when together they have too many colours.
bool MergePalettes(IndexedPixels& upper, IndexedPixels& lower) {
  std::array<std::uint8_t, kMostPaletteColours> moved{};
  bool same = true;
  for (std::size_t i = 0; i < lower.palette.size(); ++i) {
    const int index = PaletteIndex(upper.palette, lower.palette[i]);
    if (index < 0) return false;
    moved[i] = static_cast<std::uint8_t>(index);
    same = same && index == static_cast<int>(i);
  }
  if (!same) {
    for (std::uint8_t& index : lower.indices)
      index = moved[index];
  }
  return true;
}

class PngFile {
 public:
  PngFile() { bytes_.append("\x89PNG\r\n\x1a\n", 8); }

  void Chunk(const char* type, const std::uint8_t* data, std::size_t size) {
    Word(static_cast<std::uint32_t>(size));
    const std::size_t start = bytes_.size();
    bytes_.append(type, 4);
    bytes_.append(reinterpret_cast<const char*>(data), size);
    Word(static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes_.data() + start), 4 + size)));
  }

  std::string Take() { return std::move(bytes_); }

 private:
  void Word(std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
      bytes_.push_back(static_cast<char>(value >> shift));
  }

  std::string bytes_;
};

void PutWord(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    at[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

}  // namespace

std::string PngOfImage(const QImage& source, int pixelsPerMetre) {
  const QImage image =
      source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
          ? source
          : source.convertToFormat(QImage::Format_RGB32);
  const int width = image.width();
  const int height = image.height();
  // A large image is indexed, packed and compressed in two bands at once.
  const bool parallel = static_cast<std::size_t>(width) * height >= kParallelFromPixels &&
                        std::thread::hardware_concurrency() > 1;
  const int cut = parallel ? height / 2 : height;
  IndexedPixels indexed;
  IndexedPixels lower;
  bool upperFits = false;
  bool lowerFits = false;
  RunBoth(
      parallel, [&] { upperFits = Index(image, 0, cut, indexed); },
      [&] { lowerFits = Index(image, cut, height, lower); });
  const bool paletted = upperFits && lowerFits && MergePalettes(indexed, lower);
  const int bits = paletted ? BitsFor(indexed.palette.size()) : 8;
  // Each band packed and compressed by one thread.
  PackedBand upper;
  PackedBand lowerBand;
  RunBoth(
      parallel,
      [&] {
        upper = PackBand(paletted ? PackedRows(indexed, width, cut, bits) : RgbRows(image, 0, cut),
                         false);
      },
      [&] {
        lowerBand = PackBand(
            paletted ? PackedRows(lower, width, height - cut, bits) : RgbRows(image, cut, height),
            true);
      });
  lower = {};
  const std::vector<std::uint8_t> packed = ZlibStream(upper, lowerBand);
  upper = {};
  lowerBand = {};

  PngFile png;
  std::array<std::uint8_t, 13> header{};
  PutWord(header.data(), static_cast<std::uint32_t>(width));
  PutWord(header.data() + 4, static_cast<std::uint32_t>(height));
  header[8] = static_cast<std::uint8_t>(bits);
  header[9] = paletted ? 3 : 2;  // colour type: palette or RGB
  png.Chunk("IHDR", header.data(), header.size());
  if (paletted) {
    std::vector<std::uint8_t> palette;
    for (QRgb colour : indexed.palette) {
      palette.push_back(static_cast<std::uint8_t>(qRed(colour)));
      palette.push_back(static_cast<std::uint8_t>(qGreen(colour)));
      palette.push_back(static_cast<std::uint8_t>(qBlue(colour)));
    }
    png.Chunk("PLTE", palette.data(), palette.size());
  }
  if (pixelsPerMetre > 0) {
    std::array<std::uint8_t, 9> physical{};
    const auto perMetre = static_cast<std::uint32_t>(pixelsPerMetre);
    PutWord(physical.data(), perMetre);
    PutWord(physical.data() + 4, perMetre);
    physical[8] = 1;  // the unit: the metre
    png.Chunk("pHYs", physical.data(), physical.size());
  }
  for (std::size_t at = 0; at < packed.size(); at += kLargestChunk)
    png.Chunk("IDAT", packed.data() + at, std::min(kLargestChunk, packed.size() - at));
  png.Chunk("IEND", nullptr, 0);
  return png.Take();
}

}  // namespace korvid
