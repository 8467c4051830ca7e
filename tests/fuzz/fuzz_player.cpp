// libFuzzer target: any bytes at all go to the metafile player as an untrusted file would.
// Loading either fails with error 481 or gives a picture with a proper frame, and a loaded
// picture paints, whole and zoomed into a corner, through both of the player's ways of
// drawing, without any report from the sanitizers.
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "model/RuntimeError.h"
#include "render/MetafilePicture.h"

// A report of undefined behaviour must end the run, or the fuzzer never keeps the input.
extern "C" const char* __ubsan_default_options() {
  return "halt_on_error=1:print_stacktrace=1";
}

namespace {

[[noreturn]] void Violated(const char* what) {
  std::fprintf(stderr, "fuzz_player: %s\n", what);
  std::abort();
}

void PaintInto(const korvid::MetafilePicture& picture, QImage::Format format, double zoom) {
  QImage image(64, 48, format);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.translate(-16 * zoom, -12 * zoom);
  picture.Paint(painter, QRectF(0, 0, 64 * zoom, 48 * zoom), {zoom > 1 ? 11.8 : 0});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvid::MetafilePicture picture;
  try {
    picture = korvid::MetafilePicture::FromBytes(
        std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const korvid::RuntimeError& error) {
    if (error.number() != 481) Violated("a load failed with an error other than 481");
    return 0;
  }
  if (picture.IsNull() || picture.Frame().width() <= 0 || picture.Frame().height() <= 0)
    Violated("a loaded picture has no frame");
  PaintInto(picture, QImage::Format_RGB32, 1);      // the player's own rasteriser
  PaintInto(picture, QImage::Format_RGB888, 1);     // QPainter
  PaintInto(picture, QImage::Format_RGB32, 4096);   // deep zoom: culling, cut lines,
  PaintInto(picture, QImage::Format_RGB888, 4096);  // huge arcs
  return 0;
}
