#include "output/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/RuntimeError.h"

namespace korvid {

namespace {

constexpr std::size_t kMostPaletteColours = 256;
constexpr std::size_t kLargestChunk = 1 << 20;

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

bool Index(const QImage& image, IndexedPixels& indexed) {
  const int width = image.width();
  indexed.indices.resize(static_cast<std::size_t>(width) * image.height());
  std::uint8_t* out = indexed.indices.data();
  // The colour of the last pixel and the one before it: a thin line across white paper
  // switches between the two at every pixel of it.
  QRgb last = reinterpret_cast<const QRgb*>(image.constScanLine(0))[0] | 0xff000000;
  int lastIndex = PaletteIndex(indexed.palette, last);
  QRgb before = last;
  int beforeIndex = lastIndex;
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      const QRgb colour = row[x] | 0xff000000;
      if (colour != last) {
        std::swap(last, before);
        std::swap(lastIndex, beforeIndex);
        if (colour != last) {
          lastIndex = PaletteIndex(indexed.palette, colour);
          if (lastIndex < 0) return false;
          last = colour;
        }
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

std::vector<std::uint8_t> RgbRows(const QImage& image) {
  const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 3;
  std::vector<std::uint8_t> rows((rowBytes + 1) * image.height(), 0);
  for (int y = 0; y < image.height(); ++y) {
    std::uint8_t* out = rows.data() + (rowBytes + 1) * y + 1;
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      *out++ = static_cast<std::uint8_t>(qRed(row[x]));
      *out++ = static_cast<std::uint8_t>(qGreen(row[x]));
      *out++ = static_cast<std::uint8_t>(qBlue(row[x]));
    }
  }
  return rows;
}

std::vector<std::uint8_t> Compressed(const std::vector<std::uint8_t>& rows) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK)
    throw RuntimeError(err::kOutOfMemory);
  std::vector<std::uint8_t> packed(deflateBound(&stream, static_cast<uLong>(rows.size())));
  stream.next_in = const_cast<Bytef*>(rows.data());
  stream.avail_in = static_cast<uInt>(rows.size());
  stream.next_out = packed.data();
  stream.avail_out = static_cast<uInt>(packed.size());
  const int result = deflate(&stream, Z_FINISH);
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw RuntimeError(err::kOutOfMemory);
  return packed;
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

std::string PngOfImage(const QImage& source) {
  const QImage image =
      source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
          ? source
          : source.convertToFormat(QImage::Format_RGB32);
  const int width = image.width();
  const int height = image.height();
  IndexedPixels indexed;
  const bool paletted = Index(image, indexed);
  const int bits = paletted ? BitsFor(indexed.palette.size()) : 8;
  std::vector<std::uint8_t> rows;
  if (paletted) {
    rows = PackedRows(indexed, width, height, bits);
  } else {
    indexed = {};
    rows = RgbRows(image);
  }
  const std::vector<std::uint8_t> packed = Compressed(rows);
  rows = {};

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
  for (std::size_t at = 0; at < packed.size(); at += kLargestChunk)
    png.Chunk("IDAT", packed.data() + at, std::min(kLargestChunk, packed.size() - at));
  png.Chunk("IEND", nullptr, 0);
  return png.Take();
}

}  // namespace korvid
