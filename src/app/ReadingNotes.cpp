#include "app/ReadingNotes.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace korvid {

namespace {

// Sorted: every instruction that the standard reading draws with or that changes what it
// draws. What it reads as changing nothing on paper (CO, PS, VS, ...) is not here.
constexpr std::array<std::string_view, 54> kDrawnMnemonics = {
    "AA", "AR", "AT", "BP", "BR", "BZ", "CI", "CP", "CR", "CT", "DF", "DI", "DR", "DT",
    "DV", "EA", "EP", "ER", "ES", "EW", "FP", "FT", "IN", "IP", "IR", "IW", "LB", "LO",
    "LT", "NP", "PA", "PC", "PD", "PE", "PG", "PM", "PR", "PU", "PW", "RA", "RO", "RR",
    "RT", "SC", "SI", "SL", "SP", "SR", "TL", "UL", "WG", "WU", "XT", "YT"};

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
  if (mnemonic.size() != 2) return false;
  return std::binary_search(kDrawnMnemonics.begin(), kDrawnMnemonics.end(), Upper(mnemonic));
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

}  // namespace korvid
