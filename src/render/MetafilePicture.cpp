#include "render/MetafilePicture.h"

#include "model/RuntimeError.h"

namespace korvid {

struct MetafilePicture::Drawing {};

MetafilePicture::MetafilePicture() = default;
MetafilePicture::MetafilePicture(std::shared_ptr<const Drawing> drawing)
    : drawing_(std::move(drawing)) {}
MetafilePicture MetafilePicture::LoadFile(const std::string&) { throw RuntimeError(481); }
MetafilePicture MetafilePicture::FromBytes(std::string_view) { throw RuntimeError(481); }
bool MetafilePicture::IsNull() const { return !drawing_; }
QRect MetafilePicture::Frame() const { return {}; }
std::size_t MetafilePicture::PrimitiveCount() const { return 0; }
void MetafilePicture::Paint(QPainter&, const QRectF&, const PaintOptions&) const {}

}  // namespace korvid
