#include "SystemReason.h"

namespace chain {

QString reasonText(const platform::OpResult& result) {
    using Kind = platform::OpResult::Kind;
    switch (result.kind) {
    case Kind::Ok:
        return {};
    case Kind::Exists:
        return QStringLiteral("同じ名前のファイルが既にあります");
    case Kind::NotFound:
        return QStringLiteral("ファイルまたはフォルダが見つかりません");
    case Kind::CrossVolume:
        return QStringLiteral("別のドライブへは移動できません");
    case Kind::Denied:
        return QStringLiteral("アクセスが拒否されました");
    case Kind::ReadOnly:
        return QStringLiteral("読み取り専用のため書き込めません");
    case Kind::Busy:
        return QStringLiteral("ほかのプログラムが使用中です");
    case Kind::NoSpace:
        return QStringLiteral("ディスクの空き容量が足りません");
    case Kind::NameTooLong:
        return QStringLiteral("ファイル名またはパスが長すぎます");
    case Kind::InvalidName:
        return QStringLiteral("ファイル名に使えない文字が含まれています");
    case Kind::NotRegularFile:
        return QStringLiteral("通常のファイルではありません");
    case Kind::NeedsWine:
        return QStringLiteral("Windows 用のプログラムですが、wine がインストールされていません");
    case Kind::Other:
        break;
    }
    return QStringLiteral("システムエラーが発生しました (エラー番号 %1)").arg(result.code);
}

} // namespace chain
