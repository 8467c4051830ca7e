#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QXmlStreamReader>
#include <string>
#include <vector>

namespace korvid {

// The attributes of every path of an SVG document, which must be well-formed.
inline std::vector<QXmlStreamAttributes> SvgPaths(const std::string& svg) {
  QXmlStreamReader xml(QByteArray::fromStdString(svg));
  std::vector<QXmlStreamAttributes> paths;
  while (!xml.atEnd())
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QStringLiteral("path"))
      paths.push_back(xml.attributes());
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return paths;
}

}  // namespace korvid
