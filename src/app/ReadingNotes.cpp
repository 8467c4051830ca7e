#include "app/ReadingNotes.h"

#include <QStringList>
#include <cctype>
#include <string>

#include "hpgl2/Hpgl2Reader.h"
#include "reader/PlotFile.h"

namespace korvid {

namespace {

constexpr int kNamesShown = 6;

// A mnemonic as the user can read it: a line feed and a blank shown as signs, other
// control characters as "?".
QString Printable(std::string_view mnemonic) {
  QString name = QString::fromLatin1(mnemonic.data(), static_cast<int>(mnemonic.size()));
  name.replace(QLatin1Char('\n'), QStringLiteral("↵"));
  name.replace(QLatin1Char(' '), QStringLiteral("␣"));
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

QString DescribeStandardLeftOut(const StandardReadOutcome& outcome) {
  // Said as the design's reading says it.
  if (outcome.fileError == PlotFileProblem::NotAFile) {
    return QStringLiteral("ファイルではない（デバイスなど）ため読み込めませんでした");
  }
  if (outcome.fileError == PlotFileProblem::TooLarge) {
    return QStringLiteral("ファイルが大きすぎるため読み込めませんでした（上限%1MiB）")
        .arg(kLargestPlotFileBytes >> 20);
  }
  if (outcome.fileError) {
    return QStringLiteral("ファイルを読み込めませんでした（%1）")
        .arg(QString::fromStdString(outcome.fileError.message()));
  }
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

std::vector<InstructionNote> InstructionNotes(const ReadOutcome& outcome) {
  std::vector<InstructionNote> notes;
  for (const SkippedMnemonic& skipped : outcome.skipped) {
    notes.push_back({Printable(skipped.mnemonic), skipped.count, skipped.firstByte,
                     StandardReadingDraws(skipped.mnemonic)
                         ? QStringLiteral("読み飛ばしました（HP-GL/2 として読み込めば描けます）")
                         : QStringLiteral("読み飛ばしました")});
  }
  return notes;
}

std::vector<InstructionNote> InstructionNotes(const StandardReadOutcome& outcome) {
  std::vector<InstructionNote> notes;
  for (const UnreadInstruction& unread : outcome.unread) {
    notes.push_back({Printable(unread.mnemonic), unread.count, unread.firstByte,
                     QStringLiteral("未対応のため読み飛ばしました")});
  }
  for (const UnreadInstruction& ignored : outcome.ignored) {
    notes.push_back({Printable(ignored.mnemonic), ignored.count, ignored.firstByte,
                     QStringLiteral("図形に影響しないため無視しました")});
  }
  return notes;
}

QString NotAPlotNotice(PlotContent content) {
  switch (content) {
    case PlotContent::Empty:
      return QStringLiteral("ファイルが空です（図形の命令がありません）");
    case PlotContent::NotAPlot:
      return QStringLiteral(
          "プロッタファイルではありません（プログラムや画像など、図面以外のデータです）");
    case PlotContent::MaybePlot:
      break;
  }
  return {};
}

}  // namespace korvid
