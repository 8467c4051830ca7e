#include "render/MetafilePicture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <span>
#include <string>
#include <utility>

#include "model/FileDescriptor.h"
#include "model/RuntimeError.h"
#include "render/EmfDecoder.h"
#include "render/InvalidPicture.h"
#include "render/MetafileDrawing.h"
#include "render/PicturePainter.h"

namespace korvid {

namespace {

// Far beyond the largest plot picture (about 20 MB); a file this large is not one.
constexpr off_t kLargestFile = off_t{1} << 30;

[[noreturn]] void ThrowFileError(int errnoValue, const std::string& path) {
  throw RuntimeError(ErrorNumberFromErrno(errnoValue), path);
}

std::string ReadWholeFile(const FileLocation& location) {
  const std::string& path = location.Path();
  const FileDescriptor file(location.Open(O_RDONLY | O_NONBLOCK | O_NOCTTY));
  if (file.Get() < 0) ThrowFileError(errno, path);
  struct stat status {};
  if (::fstat(file.Get(), &status) != 0) ThrowFileError(errno, path);
  if (S_ISDIR(status.st_mode)) ThrowFileError(EISDIR, path);
  if (!S_ISREG(status.st_mode)) ThrowInvalidPicture("not a file");
  // Too large is not malformed: the user is told the picture is too large.
  if (status.st_size > kLargestFile) throw RuntimeError(err::kPictureTooLarge, path);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(status.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(file.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowFileError(errno, path);
    if (n == 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(n));
    if (bytes.size() > static_cast<std::size_t>(kLargestFile))
      throw RuntimeError(err::kPictureTooLarge, path);
  }
}

}  // namespace

MetafilePicture::MetafilePicture() = default;

MetafilePicture::MetafilePicture(std::shared_ptr<const Drawing> drawing)
    : drawing_(std::move(drawing)) {}

MetafilePicture MetafilePicture::LoadFile(const FileLocation& file) {
  return FromBytes(ReadWholeFile(file));
}

MetafilePicture MetafilePicture::FromBytes(std::string_view bytes) {
  const std::span<const std::byte> data(reinterpret_cast<const std::byte*>(bytes.data()),
                                        bytes.size());
  return MetafilePicture(EmfDecoder(data).Decode());
}

bool MetafilePicture::IsNull() const {
  return !drawing_;
}

QRect MetafilePicture::Frame() const {
  return drawing_ ? drawing_->frame : QRect();
}

QString MetafilePicture::Description() const {
  return drawing_ ? drawing_->description : QString();
}

std::size_t MetafilePicture::PrimitiveCount() const {
  return drawing_ ? drawing_->lines.size() + drawing_->arcs.size() : 0;
}

void MetafilePicture::Paint(QPainter& painter, const QRectF& target,
                            const PaintOptions& options) const {
  if (drawing_) PicturePainter(*drawing_, painter, options).Paint(target);
}

}  // namespace korvid
