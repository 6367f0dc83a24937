// Japanese words for the file problems the core reports.
#include "app/FileReasons.h"

#include "model/ByteStream.h"

#include <QCoreApplication>

#include <cerrno>

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

QString PartName(EFilePart part)
{
    switch (part) {
    case EFilePart::kNone: return U("ファイル");
    case EFilePart::kVersion: return U("バージョン文字列");
    case EFilePart::kSky: return U("空のテキスト");
    case EFilePart::kGround: return U("地面のテキスト");
    case EFilePart::kSceneSettings: return U("シーンの設定");
    case EFilePart::kLayerCount: return U("画層の数");
    case EFilePart::kLayerName: return U("画層名");
    case EFilePart::kLayerValues: return U("画層の値");
    case EFilePart::kLayerTexture: return U("画層のテクスチャ");
    case EFilePart::kFaceCount: return U("面の数");
    case EFilePart::kClassTag: return U("面のクラス タグ");
    case EFilePart::kClassDescription: return U("クラスの説明");
    case EFilePart::kClassName: return U("クラス名");
    case EFilePart::kFaceRecord: return U("面のデータ");
    case EFilePart::kFaceLayerName: return U("面の画層名");
    }
    return U("ファイル");
}

QString FaceLabel(const CFileProblem& problem)
{
    return U("%1 面中 %2 番目の面").arg(problem.count).arg(problem.index + 1);
}

}  // namespace

QString JapaneseSystemError(int error, const std::string& text)
{
    switch (error) {
    case ENOENT: return U("ファイルまたはフォルダがありません");
    case EACCES:
    case EPERM: return U("アクセスが許可されていません");
    case EISDIR: return U("フォルダです");
    case ENOTDIR: return U("パスの途中にフォルダでないものがあります");
    case EEXIST: return U("同じ名前のファイルがあります");
    case ENOSPC: return U("ディスクの空きがありません");
    case EDQUOT: return U("ディスクの使用量の上限を超えました");
    case EROFS: return U("書き込みのできないファイル システムです");
    case ENAMETOOLONG: return U("名前が長すぎます");
    case ELOOP: return U("シンボリック リンクが循環しているか、多すぎます");
    case EIO: return U("入出力エラーが起きました");
    case EMFILE:
    case ENFILE: return U("開いているファイルが多すぎます");
    case ENOMEM: return U("メモリが足りません");
    case EFBIG: return U("ファイルが大きすぎます");
    case EBUSY:
    case ETXTBSY: return U("使用中です");
    case EXDEV: return U("別のファイル システムへは移せません");
    case ENXIO:
    case ENODEV: return U("デバイスがありません");
    default: break;
    }
    // A reason given only as text (no error number) is shown as it is.
    if (error == 0) return text == kReadCancelled ? U("中止しました") : QString::fromLocal8Bit(text.c_str());
    return U("システム エラー %1（%2）").arg(error).arg(QString::fromLocal8Bit(text.c_str()));
}

QString JapaneseReason(const CFileProblem& problem)
{
    const QString part = PartName(problem.part);
    bool faceNamed = false;
    QString text;
    switch (problem.code) {
    case EFileProblem::kNone: return QString();
    case EFileProblem::kSystem:
    case EFileProblem::kOther: text = JapaneseSystemError(problem.systemError, problem.systemText); break;
    case EFileProblem::kCancelled: text = U("中止しました"); break;
    case EFileProblem::kFolder: text = U("フォルダです。ファイルではありません"); break;
    case EFileProblem::kDevice: text = U("デバイスです。ファイルではありません"); break;
    case EFileProblem::kEndsInside: text = U("ファイルが%1の途中で終わっています").arg(part); break;
    case EFileProblem::kReadError:
        text = U("%1の読み込み中にエラーが起きました: %2")
                   .arg(part, JapaneseSystemError(problem.systemError, problem.systemText));
        break;
    case EFileProblem::kWideText: text = U("%1がワイド文字のテキストで、読めません").arg(part); break;
    case EFileProblem::kClassNameLength:
        text = U("モデル ファイルではありません: %1のクラス名が %2 バイトです（\"CShape\" のはずです）")
                   .arg(FaceLabel(problem)).arg(problem.value);
        faceNamed = true;
        break;
    case EFileProblem::kClassName:
        text = U("モデル ファイルではありません: %1のクラスが \"%2\" です（\"CShape\" のはずです）")
                   .arg(FaceLabel(problem), QString::fromLatin1(problem.name.c_str()));
        faceNamed = true;
        break;
    case EFileProblem::kClassSchema:
        text = U("%1のクラス CShape の版 %2 には対応していません").arg(FaceLabel(problem)).arg(problem.value);
        faceNamed = true;
        break;
    case EFileProblem::kClassUndescribed:
        text = U("%1が説明のないクラスを指しています").arg(FaceLabel(problem));
        faceNamed = true;
        break;
    case EFileProblem::kObjectTag:
        text = U("%1の前に不明なオブジェクト タグ 0x%2 があります（0xFFFF か 0x8001 のはずです）")
                   .arg(FaceLabel(problem))
                   .arg(problem.value & 0xFFFF, 4, 16, QLatin1Char('0'));
        faceNamed = true;
        break;
    case EFileProblem::kLayerCount:
        text = U("画層の数 %1 が 0～%2 の範囲にありません").arg(problem.value).arg(problem.limit);
        break;
    case EFileProblem::kNoMemoryForFaces: text = U("%1 面分のメモリがありません").arg(problem.value); break;
    case EFileProblem::kNoMemoryBeyondFaces:
        text = U("メモリが足りません（%1 面より多くは入りません）").arg(problem.value);
        break;
    case EFileProblem::kTooManyFaces: text = U("面が多すぎて 1 つのモデルに入りません（%1 面より多い）").arg(problem.value); break;
    case EFileProblem::kNoMemoryToAdd: text = U("%1 面を加えるメモリがありません").arg(problem.value); break;
    case EFileProblem::kNoMemoryToWrite: text = U("書き込むためのメモリが足りません"); break;
    case EFileProblem::kWriteIncomplete: text = U("データを書き込めません"); break;
    case EFileProblem::kModelTooLarge:
        text = U("モデルの面は %1 ありますが、モデル ファイルに入るのは %2 面までです").arg(problem.value).arg(problem.limit);
        break;
    case EFileProblem::kTextTooLong: text = U("%1 バイトのテキストはモデル ファイルに入りません").arg(problem.value); break;
    }
    switch (problem.step) {
    case EFileStep::kNone: break;
    case EFileStep::kCreate:
        text = U("%1 にファイルを作れません: %2").arg(QString::fromLocal8Bit(problem.name.c_str()), text);
        break;
    case EFileStep::kWrite: text = U("書き込めません: %1").arg(text); break;
    case EFileStep::kReplace: text = U("ファイルを置き換えられません: %1").arg(text); break;
    }
    if (problem.place == CFileProblem::EPlace::kFace && !faceNamed) text += U("（%1）").arg(FaceLabel(problem));
    if (problem.place == CFileProblem::EPlace::kLayer)
        text += U("（%1 画層中 %2 番目の画層）").arg(problem.count).arg(problem.index + 1);
    if (problem.hasOffset) text += U("（%1 バイト目）").arg(problem.offset);
    return text;
}
