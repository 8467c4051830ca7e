#include "render/PlotSource.h"

#include "render/EmfWriter.h"
#include "render/PictureRecorder.h"

namespace korvid {

namespace {

constexpr int kProgressStarted = 15;
constexpr int kProgressDone = 40;

EmfWriter::Rect WriterFrame(const QRect& frame) {
  return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

}  // namespace

const UserUnits* PlotSource::FileUnits() const {
  return nullptr;
}

bool PlotSource::DrawsInParts() const {
  return false;
}

std::optional<DrawingParts> PlotSource::PartsForThreads(double) const {
  return std::nullopt;
}

std::vector<DrawingPart> PlotSource::Pieces(const DrawingPart& part, std::size_t) const {
  return {part};
}

std::size_t PlotSource::ExpectedRecordBytes(const DrawSetup&) const {
  return 0;
}

std::u16string PlotMetafileDescription() {
  return std::u16string(u"***** ") + u'\0' + u"HPGL Data Drawing" + u'\0' + u'\0';
}

void DrawPlot(const PlotSource& source, const DrawSetup& setup, const FileLocation& file,
              DrawProgress* progress) {
  // A plot that cannot be drawn at all (its extents overflow) fails before the old file goes.
  const QRect frame = source.Frame(setup.rotation.angle);
  file.Remove();
  EmfWriter metafile(WriterFrame(frame), PlotMetafileDescription(),
                     source.ExpectedRecordBytes(setup));
  if (progress) progress->ShowProgress(kProgressStarted);
  source.Draw(metafile, setup);
  if (progress) progress->ShowProgress(kProgressDone);
  metafile.WriteFile(file);
}

std::vector<std::uint8_t> DrawPlotInMemory(const PlotSource& source, const DrawSetup& setup) {
  EmfWriter metafile(WriterFrame(source.Frame(setup.rotation.angle)), PlotMetafileDescription(),
                     source.ExpectedRecordBytes(setup));
  source.Draw(metafile, setup);
  return metafile.Release();
}

MetafilePicture DrawPlotPicture(const PlotSource& source, const DrawSetup& setup,
                                const DrawingPart& part) {
  PictureRecorder recorder(WriterFrame(source.Frame(setup.rotation.angle)),
                           PlotMetafileDescription());
  source.Draw(recorder, setup, part);
  return MetafilePicture::FromDrawing(recorder.Finish());
}

}  // namespace korvid
