// Japanese status-bar texts of the full DXF import.
#include "app/DxfFullImportText.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

QString KindName(EDxfFaceKind kind)
{
    switch (kind) {
    case EDxfFaceKind::Polyface: return QString::fromUtf8("ポリフェース メッシュ");
    case EDxfFaceKind::PolygonMesh: return QString::fromUtf8("ポリゴン メッシュ");
    default: return QString::fromUtf8(DxfFaceKindName(kind));
    }
}

QString UnitsName(int units)
{
    static const char* const kNames[] = {"",         "インチ",   "フィート",       "マイル", "ミリメートル",
                                         "センチメートル", "メートル", "キロメートル", "",       "",
                                         "ヤード",   "",         "",               "",       "デシメートル"};
    if (units >= 0 && units < int(std::size(kNames)) && kNames[units][0] != '\0') return QString::fromUtf8(kNames[units]);
    return QStringLiteral("$INSUNITS %1").arg(units);
}

}  // namespace

QString DxfFullImportStatusText(const CDxfFullStats& stats, int layerCount)
{
    QString text;
    if (stats.facesMade == 0) {
        text = QString::fromUtf8("DXF（全要素）: 面はありませんでした");
        if (!stats.entitiesFound) text += QString::fromUtf8("（ENTITIES セクションがありません）");
    } else {
        text = QString::fromUtf8("DXF（全要素）: %1 面を読み込みました（%2 画層）").arg(stats.facesMade).arg(layerCount);
        QStringList kinds;
        for (int k = 0; k < kDxfFaceKinds; ++k)
            if (stats.facesByKind[k]) kinds << QStringLiteral("%1 %2").arg(KindName(EDxfFaceKind(k))).arg(stats.facesByKind[k]);
        text += QString::fromUtf8("。内訳: ") + kinds.join(QStringLiteral(", "));
        if (stats.facesThroughInsert)
            text += QString::fromUtf8("（うち INSERT による %1 面）").arg(stats.facesThroughInsert);
    }
    if (stats.scale != 1.0)
        text += QString::fromUtf8("。単位: %1（×%2 で mm に）").arg(UnitsName(stats.units)).arg(stats.scale, 0, 'g', 12);

    QStringList left;
    auto note = [&](std::uint64_t n, const char* what) {
        if (n) left << QString::fromUtf8(what).arg(n);
    };
    note(stats.degenerate, "面積のない面 %1");
    for (int k = 0; k < kDxfFaceKinds; ++k)
        if (stats.leftOut.withoutThickness[k])
            left << QString::fromUtf8("厚さのない %1 %2").arg(KindName(EDxfFaceKind(k))).arg(stats.leftOut.withoutThickness[k]);
    note(stats.leftOut.badExtrusion, "押し出し方向の不正な図形 %1");
    note(stats.leftOut.polyfaceBadIndex, "頂点番号が範囲外のポリフェース面 %1");
    note(stats.leftOut.polyfaceFewCorners, "頂点が 3 未満のポリフェース面 %1");
    note(stats.leftOut.meshBadFaces, "頂点の並びが不正な MESH の面 %1");
    note(stats.leftOut.gridsShort, "頂点が M×N に足りないポリゴン メッシュ %1");
    note(stats.leftOut.polylines3D, "3D ポリライン（線のみ） %1");
    note(stats.paperSpace, "ペーパー空間の図形 %1");
    note(stats.outOfRange, "座標が数でないか ±3.4e38 を超える面 %1");
    note(stats.offTable, "99 を超える画層の面 %1");
    if (!left.isEmpty()) text += QString::fromUtf8("。除外: ") + left.join(QStringLiteral(", "));

    QStringList broken;
    auto brokenNote = [&](std::uint64_t n, const char* what) {
        if (n) broken << QString::fromUtf8(what).arg(n);
    };
    brokenNote(stats.missingBlocks, "定義のないブロックの INSERT %1");
    brokenNote(stats.selfInserts, "自身を挿入するブロック %1（たどりません）");
    brokenNote(stats.badArrays, "行か列の数が 1 未満の INSERT %1");
    brokenNote(stats.tooDeep, "1000 段を超える入れ子の INSERT %1");
    if (stats.insertsOverLimit || stats.facesOverLimit)
        broken << QString::fromUtf8("%1 面で打ち切り（INSERT %2, 面 %3 を除外）")
                      .arg(stats.faceLimit)
                      .arg(stats.insertsOverLimit)
                      .arg(stats.facesOverLimit);
    if (!broken.isEmpty()) text += QString::fromUtf8("。参照の誤り: ") + broken.join(QStringLiteral(", "));

    if (!stats.skippedByKind.empty()) {
        std::vector<std::pair<std::string, std::uint64_t>> kinds(stats.skippedByKind.begin(), stats.skippedByKind.end());
        std::stable_sort(kinds.begin(), kinds.end(), [](const auto& x, const auto& y) { return x.second > y.second; });
        QStringList skipped;
        for (const auto& [kind, count] : kinds) skipped << QStringLiteral("%1 %2").arg(QString::fromStdString(kind)).arg(count);
        text += QString::fromUtf8("。読み飛ばした図形: ") + skipped.join(QStringLiteral(", "));
    }
    if (stats.binaryTruncated) text += QString::fromUtf8("。バイナリ DXF が途中で終わっています");
    return text;
}

QString DxfFullImportHintText(std::uint64_t fullFaces)
{
    return QString::fromUtf8("。DXF（全要素）なら %1 面を読み込めます").arg(fullFaces);
}
