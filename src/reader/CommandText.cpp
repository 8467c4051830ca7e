#include "reader/CommandText.h"

#include <cstring>

namespace korvid {

std::size_t CommandText::FindComma(std::size_t position) {
  if (position >= text_.size()) return npos;
  const std::size_t offset = static_cast<std::size_t>(text_.data() - whole_.data());
  const std::size_t from = offset + position;
  const bool remembered = searchedFrom_ != npos && from >= searchedFrom_ &&
                          (foundAt_ == npos ? true : from <= foundAt_);
  if (!remembered) {
    const void* hit = std::memchr(whole_.data() + from, ',', whole_.size() - from);
    searchedFrom_ = from;
    foundAt_ = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - whole_.data()) : npos;
  }
  return foundAt_ == npos ? npos : foundAt_ - offset;
}

void CommandText::Restart(std::size_t position) {
  text_ = position >= text_.size() ? text_.substr(text_.size()) : text_.substr(position);
}

}  // namespace korvid
