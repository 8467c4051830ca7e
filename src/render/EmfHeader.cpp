#include "render/EmfHeader.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "render/InvalidPicture.h"

// libuemf defines many unprefixed macros: it stays inside .cpp files.
#include <uemf.h>

namespace korvid {

namespace {

constexpr std::uint32_t kEndRecordBytes = sizeof(U_EMREOF) + sizeof(std::uint32_t);

void Require(bool condition, const char* reason) {
  if (!condition) ThrowInvalidPicture(reason);
}

QRect CheckedFrame(const U_RECTL& frame) {
  const std::int64_t width = std::int64_t{frame.right} - frame.left;
  const std::int64_t height = std::int64_t{frame.bottom} - frame.top;
  constexpr std::int64_t kMax = std::numeric_limits<int>::max();
  Require(width > 0 && height > 0 && width <= kMax && height <= kMax, "empty or inverted frame");
  return QRect(frame.left, frame.top, static_cast<int>(width), static_cast<int>(height));
}

QString Description(std::span<const std::byte> record, const U_EMRHEADER& header) {
  if (header.nDescription == 0) return {};
  const std::uint64_t end =
      std::uint64_t{header.offDescription} + std::uint64_t{header.nDescription} * 2;
  Require(header.offDescription >= U_SIZE_EMRHEADER_MIN && end <= record.size(),
          "description outside the header");
  std::u16string text(header.nDescription, u'\0');
  std::memcpy(text.data(), record.data() + header.offDescription, text.size() * 2);
  return QString::fromStdU16String(text);
}

}  // namespace

EmfHeader EmfHeader::Parse(std::span<const std::byte> bytes) {
  Require(bytes.size() >= U_SIZE_EMRHEADER_MIN, "shorter than a metafile header");
  U_EMRHEADER raw{};
  std::memcpy(&raw, bytes.data(), std::min(bytes.size(), sizeof raw));
  Require(raw.emr.iType == U_EMR_HEADER && raw.dSignature == U_ENHMETA_SIGNATURE,
          "no enhanced metafile signature");
  const std::uint32_t size = raw.emr.nSize;
  Require(size >= U_SIZE_EMRHEADER_MIN && size % 4 == 0, "bad header size");
  Require(raw.nBytes <= bytes.size(), "header counts more bytes than the file has");
  Require(size <= raw.nBytes && raw.nBytes - size >= kEndRecordBytes, "header size past the end");
  Require(raw.nRecords >= 2, "fewer than two records");
  Require(raw.nHandles >= 1, "no object table");
  Require(raw.szlDevice.cx > 0 && raw.szlDevice.cy > 0 && raw.szlMillimeters.cx > 0 &&
              raw.szlMillimeters.cy > 0,
          "no reference device size");

  EmfHeader header;
  header.size = size;
  header.fileBytes = raw.nBytes;
  header.records = raw.nRecords;
  header.handles = raw.nHandles;
  header.frame = CheckedFrame(raw.rclFrame);
  header.devicePixels = QSize(raw.szlDevice.cx, raw.szlDevice.cy);
  header.deviceMillimetres = QSize(raw.szlMillimeters.cx, raw.szlMillimeters.cy);
  header.description = Description(bytes.first(size), raw);
  return header;
}

}  // namespace korvid
