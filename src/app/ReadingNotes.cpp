#include "app/ReadingNotes.h"

#include <QStringList>
#include <cctype>
#include <string>

#include "app/ErrorMessages.h"
#include "hpgl2/Hpgl2Reader.h"
#include "reader/PlotFile.h"

namespace korvid {

namespace {

constexpr int kNamesShown = 6;

// A mnemonic as the user can read it: control characters shown as "?".
QString Printable(std::string_view mnemonic) {
  QString name = QString::fromLatin1(mnemonic.data(), static_cast<int>(mnemonic.size()));
  for (QChar& c : name) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = QLatin1Char('?');
  }
  return name;
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

}  // namespace

QString ReadingCaption(Reading reading, int page, int pageCount) {
  if (reading == Reading::Design) return QStringLiteral("読み込み: 基本HPGL");
  if (pageCount <= 1) return QStringLiteral("読み込み: HP-GL/2");
  return QStringLiteral("読み込み: HP-GL/2（PLOT No.%1/%2）").arg(page).arg(pageCount);
}

bool StandardReadingDraws(std::string_view mnemonic) {
  return InstructionChangesDrawing(mnemonic);
}

QString StandardReadingOffer(const ReadOutcome& outcome, bool drewNothing) {
  if (outcome.fileError) return {};
  if (drewNothing) return QStringLiteral("基本HPGLの読み込みでは何も描けませんでした。");
  QStringList drawn;
  for (const SkippedMnemonic& skipped : outcome.skipped) {
    if (!StandardReadingDraws(skipped.mnemonic)) continue;
    const QString name = Printable(Upper(skipped.mnemonic));
    if (!drawn.contains(name)) drawn << name;
  }
  if (!drawn.isEmpty()) {
    if (drawn.size() > kNamesShown) {
      drawn.erase(drawn.begin() + kNamesShown, drawn.end());
      drawn << QStringLiteral("…");
    }
    return QStringLiteral("基本HPGLの読み込みでは描けない命令（%1）があります。")
        .arg(drawn.join(QStringLiteral(", ")));
  }
  if (outcome.end == ReadEnd::PageAdvance) {
    return QStringLiteral("基本HPGLの読み込みでは2ページ目以降を表示できません。");
  }
  if (outcome.CapacityReached()) {
    return QStringLiteral("基本HPGLの読み込みでは上限を超えた図形を表示できません。");
  }
  if (outcome.end == ReadEnd::Failure) {
    return QStringLiteral("基本HPGLの読み込みはエラーのため途中で止まりました。");
  }
  return {};
}

QString DescribeFileError(const std::error_code& reason) {
  if (reason == PlotFileProblem::NotAFile) {
    return QStringLiteral("ファイルではない（デバイスなど）ため読み込めませんでした");
  }
  if (reason == PlotFileProblem::TooLarge) {
    return QStringLiteral("ファイルが大きすぎるため読み込めませんでした（上限%1MiB）")
        .arg(kLargestPlotFileBytes >> 20);
  }
  if (reason == PlotFileProblem::Shrank) {
    return QStringLiteral("読み込み中にファイルが短くなったため読み込めませんでした");
  }
  return QStringLiteral("ファイルを読み込めませんでした（%1）")
      .arg(QString::fromStdString(SystemErrorText(reason.value())));
}

QString DescribeStandardLeftOut(const StandardReadOutcome& outcome) {
  // Said as the design's reading says it.
  if (outcome.fileError) return DescribeFileError(outcome.fileError);
  QStringList parts;
  if (outcome.memoryBudgetReached) {
    QString where;
    if (outcome.stoppedAtByte >= 0) {
      where = QStringLiteral("（%1バイト目まで）").arg(outcome.stoppedAtByte);
    }
    parts << QStringLiteral("図形がメモリの上限（%1 MB）に達したため、以降は読み込んでいません%2")
                 .arg(ModelBudget::kDefaultBytes >> 20)
                 .arg(where);
  }
  if (!outcome.Drew()) parts << QStringLiteral("描ける図形がありませんでした");
  if (!outcome.unread.empty()) {
    QStringList names;
    std::int64_t total = 0;
    for (const UnreadInstruction& unread : outcome.unread)
      total += unread.count;
    for (std::size_t i = 0; i < outcome.unread.size() && i < kNamesShown; ++i) {
      names << QStringLiteral("%1×%2")
                   .arg(Printable(outcome.unread[i].mnemonic))
                   .arg(outcome.unread[i].count);
    }
    if (outcome.unread.size() > kNamesShown) names << QStringLiteral("…");
    parts << QStringLiteral("未対応の命令%1個を読み飛ばしました（%2）")
                 .arg(total)
                 .arg(names.join(QStringLiteral(", ")));
  }
  return parts.join(QStringLiteral("。"));
}

}  // namespace korvid
