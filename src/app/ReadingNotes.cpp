#include "app/ReadingNotes.h"

#include <QStringList>
#include <cctype>
#include <string>

#include "app/ErrorMessages.h"
#include "hpgl2/Hpgl2Reader.h"
#include "model/PlotModel.h"
#include "reader/PlotFile.h"

namespace korvid {

namespace {

constexpr int kNamesShown = 6;

// Control characters shown as "?".
QString WithoutControls(QString name) {
  for (QChar& c : name) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = QLatin1Char('?');
  }
  return name;
}

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<int>(text.size()));
}

// A mnemonic as the user can read it.
QString Printable(std::string_view mnemonic) {
  return WithoutControls(Latin1(mnemonic));
}

// A mnemonic in a list of what was skipped: a line end and a blank shown as such.
QString Visible(std::string_view mnemonic) {
  QString name = Latin1(mnemonic);
  name.replace(QLatin1Char('\n'), QStringLiteral("↵"));
  name.replace(QLatin1Char(' '), QStringLiteral("␣"));
  return WithoutControls(name);
}

// "未対応の<what>N個を読み飛ばしました（AA×n, ...）": the first few by name, all counted.
QString SkippedNote(const QString& what, const std::vector<MnemonicCount>& skipped) {
  QStringList names;
  std::int64_t total = 0;
  for (const MnemonicCount& entry : skipped)
    total += entry.count;
  for (std::size_t i = 0; i < skipped.size() && i < kNamesShown; ++i)
    names << QStringLiteral("%1×%2").arg(Visible(skipped[i].mnemonic)).arg(skipped[i].count);
  if (skipped.size() > kNamesShown) names << QStringLiteral("…");
  return QStringLiteral("未対応の%1%2個を読み飛ばしました（%3）")
      .arg(what)
      .arg(total)
      .arg(names.join(QStringLiteral(", ")));
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

}  // namespace

QString DescribeFileError(const std::error_code& reason) {
  if (reason == PlotFileProblem::TooLarge) {
    return QStringLiteral("ファイルが大きすぎるため読み込めませんでした（上限%1MiB）")
        .arg(kLargestPlotFileBytes >> 20);
  }
  if (reason == PlotFileProblem::NotAFile) {
    return QStringLiteral("ファイルではない（デバイスなど）ため読み込めませんでした");
  }
  if (reason == PlotFileProblem::Shrank) {
    return QStringLiteral("読み込み中にファイルが短くなったため読み込めませんでした");
  }
  return QStringLiteral("ファイルを読み込めませんでした（%1）")
      .arg(QString::fromStdString(SystemErrorText(reason.value())));
}

QString ReadingCaption(bool hpgl2, int page, int pageCount) {
  if (!hpgl2) return QStringLiteral("読み込み: 基本HPGL");
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

QString DescribeLeftOut(const ReadOutcome& outcome, int segments) {
  QStringList parts;
  if (outcome.segmentCapacityReached) {
    parts << QStringLiteral("線分が上限の%1本に達したため、以降は読み込んでいません")
                 .arg(PlotModel::MaxSegments);
  } else if (outcome.arcCapacityReached) {
    parts << QStringLiteral("円・円弧が上限の%1個に達したため、以降は読み込んでいません")
                 .arg(PlotModel::MaxArcs);
  } else if (outcome.end == ReadEnd::PageAdvance) {
    parts << QStringLiteral(
                 "1ページ目のみ表示しています（%1番目のコマンドPG以降は読み込んでいません）")
                 .arg(outcome.commandIndex);
  } else if (outcome.end == ReadEnd::Failure && !outcome.fileError) {
    parts << QStringLiteral(
                 "%1番目のコマンドでエラー(Err=%2)のため、以降は読み込んでいません（線分%3本まで）")
                 .arg(outcome.commandIndex)
                 .arg(outcome.errorNumber)
                 .arg(segments);
  } else if (outcome.fileError) {
    parts << DescribeFileError(outcome.fileError);
  }
  if (!outcome.skipped.empty()) parts << SkippedNote(QStringLiteral("コマンド"), outcome.skipped);
  return parts.join(QStringLiteral("。"));
}

QString DescribeStandardLeftOut(const StandardReadOutcome& outcome) {
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
  if (outcome.counts.undrawableCharacters > 0) {
    parts << QStringLiteral("描けない文字%1個を「?」で表示しました")
                 .arg(outcome.counts.undrawableCharacters);
  }
  if (outcome.counts.rasterImagesSkipped > 0) {
    static const QString kWhy[] = {QString(), QStringLiteral("カラー"),
                                   QStringLiteral("未対応の圧縮方式"),
                                   QStringLiteral("細かすぎる画像")};
    parts << QStringLiteral("ラスター画像%1個を描けませんでした（%2）")
                 .arg(outcome.counts.rasterImagesSkipped)
                 .arg(kWhy[static_cast<int>(outcome.rasterSkip)]);
  }
  if (!outcome.unread.empty()) parts << SkippedNote(QStringLiteral("命令"), outcome.unread);
  return parts.join(QStringLiteral("。"));
}

std::vector<InstructionNote> InstructionNotes(const ReadOutcome& outcome) {
  std::vector<InstructionNote> notes;
  for (const SkippedMnemonic& skipped : outcome.skipped) {
    notes.push_back({Visible(skipped.mnemonic), skipped.count, skipped.firstByte,
                     StandardReadingDraws(skipped.mnemonic)
                         ? QStringLiteral("読み飛ばしました（HP-GL/2 として読み込めば描けます）")
                         : QStringLiteral("読み飛ばしました")});
  }
  return notes;
}

std::vector<InstructionNote> InstructionNotes(const StandardReadOutcome& outcome) {
  std::vector<InstructionNote> notes;
  for (const UnreadInstruction& unread : outcome.unread) {
    notes.push_back({Visible(unread.mnemonic), unread.count, unread.firstByte,
                     QStringLiteral("未対応のため読み飛ばしました")});
  }
  for (const UnreadInstruction& ignored : outcome.ignored) {
    notes.push_back({Visible(ignored.mnemonic), ignored.count, ignored.firstByte,
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

QString PenZeroOffer(const StandardReadOutcome& outcome) {
  if (outcome.fileError || outcome.Drew() || outcome.counts.withoutPen == 0) return {};
  return QStringLiteral("ペン0（HP-GL/2 ではペンなし）だけで描かれています。");
}

}  // namespace korvid
