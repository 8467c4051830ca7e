#include "output/BmpWriter.h"

#include <cstdint>

#include "model/RuntimeError.h"
#include "output/PaperLayout.h"

namespace korvid {

namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr int kScreenDpi = 96;

void Put(std::string& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i)
    bytes.push_back(static_cast<char>(value >> (8 * i)));
}

}  // namespace

std::string BmpOfImage(const QImage& source, int pixelsPerMetre) {
  const QImage image =
      source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
          ? source
          : source.convertToFormat(QImage::Format_RGB32);
  const std::uint64_t rowBytes = (static_cast<std::uint64_t>(image.width()) * 3 + 3) / 4 * 4;
  const std::uint64_t pixelBytes = rowBytes * image.height();
  const std::uint64_t fileBytes = kFileHeaderBytes + kInfoHeaderBytes + pixelBytes;
  if (fileBytes > UINT32_MAX) throw RuntimeError(err::kPictureTooLarge);

  std::string bytes;
  bytes.reserve(fileBytes);
  bytes += "BM";
  Put(bytes, static_cast<std::uint32_t>(fileBytes), 4);
  Put(bytes, 0, 4);
  Put(bytes, kFileHeaderBytes + kInfoHeaderBytes, 4);
  Put(bytes, kInfoHeaderBytes, 4);
  Put(bytes, static_cast<std::uint32_t>(image.width()), 4);
  Put(bytes, static_cast<std::uint32_t>(image.height()), 4);  // positive: bottom up
  Put(bytes, 1, 2);                                           // planes
  Put(bytes, 24, 2);                                          // bits a pixel
  Put(bytes, 0, 4);                                           // no compression
  Put(bytes, static_cast<std::uint32_t>(pixelBytes), 4);
  const auto perMetre =
      static_cast<std::uint32_t>(pixelsPerMetre > 0 ? pixelsPerMetre : PixelsPerMetre(kScreenDpi));
  Put(bytes, perMetre, 4);
  Put(bytes, perMetre, 4);
  Put(bytes, 0, 4);
  Put(bytes, 0, 4);
  const int width = image.width();
  const std::size_t padding = rowBytes - static_cast<std::uint64_t>(width) * 3;
  for (int y = image.height() - 1; y >= 0; --y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      bytes.push_back(static_cast<char>(qBlue(row[x])));
      bytes.push_back(static_cast<char>(qGreen(row[x])));
      bytes.push_back(static_cast<char>(qRed(row[x])));
    }
    bytes.append(padding, '\0');
  }
  return bytes;
}

}  // namespace korvid
