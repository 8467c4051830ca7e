#include "app/PenMessages.h"

#include "app/ErrorMessages.h"

namespace korvid {

namespace {

constexpr int kLongestWordShown = 40;

QString Word(const PenProfileError& error) {
  QString word = QString::fromUtf8(error.word.data(), static_cast<qsizetype>(error.word.size()));
  if (word.size() > kLongestWordShown) word = word.left(kLongestWordShown) + QStringLiteral("…");
  return word;
}

}  // namespace

QString PenProfileErrorText(const PenProfileError& error) {
  const QString line = QStringLiteral("%1行目: ").arg(error.line);
  const QString word = Word(error);
  switch (error.problem) {
    case PenProfileProblem::kNotText:
      return line + QStringLiteral("文字以外のデータ（制御文字）があります");
    case PenProfileProblem::kNotAPenLine:
      return line +
             QStringLiteral("行は「pen」とペン番号で始めてください（「%1」ではなく）").arg(word);
    case PenProfileProblem::kNoPenNumber:
      return line + QStringLiteral("「pen」のあとにペン番号がありません");
    case PenProfileProblem::kBadPenNumber:
      return line + QStringLiteral("ペン番号は %1 から %2 までの整数です（「%3」ではなく）")
                        .arg(kLowestPenNumber)
                        .arg(kHighestPenNumber)
                        .arg(word);
    case PenProfileProblem::kPenAgain:
      return line + QStringLiteral("ペン %1 は %2行目で設定済みです")
                        .arg(error.pen)
                        .arg(error.earlierLine);
    case PenProfileProblem::kUnknownSetting:
      return line + QStringLiteral(
                        "「%1」という設定はありません（colour、width、shown、hidden のいずれか）")
                        .arg(word);
    case PenProfileProblem::kNoColour:
      return line + QStringLiteral("「colour」のあとに色（#RRGGBB または file）がありません");
    case PenProfileProblem::kBadColour:
      return line + QStringLiteral(
                        "色は #0000ff のような #RRGGBB（16進数6桁）か file です（「%1」ではなく）")
                        .arg(word);
    case PenProfileProblem::kNoWidth:
      return line + QStringLiteral("「width」のあとに太さ（mm または file）がありません");
    case PenProfileProblem::kBadWidth:
      return line +
             QStringLiteral("太さは 0.35 のような mm の数か file です（「%1」ではなく）").arg(word);
    case PenProfileProblem::kWidthTooLarge:
      return line +
             QStringLiteral("太さは %1 mm までです（「%2」ではなく）").arg(kWidestPenMm).arg(word);
    case PenProfileProblem::kSettingAgain:
      return line + QStringLiteral("「%1」で同じ設定が2回あります").arg(word);
  }
  return line + QStringLiteral("読み込めません");
}

QString PenProfileLoadText(const QString& shownName, const PenProfileLoad& load) {
  const QString head =
      QStringLiteral("ペン設定ファイル「%1」を読み込めませんでした").arg(shownName);
  if (load.lineError) return head + QStringLiteral("\r\n") + PenProfileErrorText(*load.lineError);
  if (load.fileError == PlotFileProblem::TooLarge) {
    return head + QStringLiteral("（%1 MiB を超えています）").arg(kLargestPenProfileBytes >> 20);
  }
  if (load.fileError == PlotFileProblem::NotAFile) {
    return head + QStringLiteral("（ファイルではありません）");
  }
  if (load.fileError.category() == std::generic_category() ||
      load.fileError.category() == std::system_category()) {
    return head + QStringLiteral("（%1）").arg(
                      QString::fromStdString(SystemErrorText(load.fileError.value())));
  }
  return head;
}

}  // namespace korvid
