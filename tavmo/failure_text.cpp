#include "tavmo/failure_text.h"

#include <curl/curl.h>

namespace qm::tavmo {

namespace {

std::string ReasonFor(CURLcode code) {
    switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL:
            return "この送り先の種類には対応していません。";
        case CURLE_URL_MALFORMAT:
            return "送り先のURLの書き方が正しくありません。";
        case CURLE_COULDNT_RESOLVE_HOST:
            return "サーバーの名前が見つかりませんでした。送り先のURLを確かめてください。";
        case CURLE_COULDNT_CONNECT:
            return "サーバーにつながりませんでした。サーバーが動いているか、URLとポート番号を確かめ"
                   "てください。";
        case CURLE_LOGIN_DENIED:
            return "ログインできませんでした。ユーザー名とパスワードを確かめてください。";
        case CURLE_REMOTE_ACCESS_DENIED:
            return "サーバーで送り先のフォルダに入れないか、書き込みが許されていません。";
        case CURLE_REMOTE_FILE_NOT_FOUND:
            return "送り先のフォルダが見つかりません。";
        case CURLE_UPLOAD_FAILED:
            return "サーバーがファイルを受け取りませんでした。";
        case CURLE_QUOTE_ERROR:
            return "送ったファイルを本来の名前に置き換えられませんでした。";
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_ACCEPT_TIMEOUT:
        case CURLE_FTP_PORT_FAILED:
            return "サーバーからのデータ接続を受けられませんでした。パッシブモードを試してください"
                   "。";
        case CURLE_FTP_WEIRD_PASV_REPLY:
        case CURLE_FTP_CANT_GET_HOST:
            return "パッシブモードのデータ接続ができませんでした。パッシブモードを外して試してくだ"
                   "さい。";
        case CURLE_OPERATION_TIMEDOUT:
            return "サーバーの応答がなく、時間切れになりました。";
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
        case CURLE_WEIRD_SERVER_REPLY:
            return "送っている途中でサーバーとの接続が切れました。";
        case CURLE_USE_SSL_FAILED:
            return "サーバーが暗号化(TLS)に対応していません。";
        case CURLE_PEER_FAILED_VERIFICATION:
            return "サーバーが本物か確かめられませんでした(証明書か、SFTPのホスト鍵が合いません)。"
                   "SFTPではサーバーの鍵を ~/.ssh/known_hosts に登録してください。";
        case CURLE_SSL_CONNECT_ERROR:
            return "暗号化(TLS)の接続ができませんでした。";
        case CURLE_SSL_CACERT_BADFILE:
            return "証明書の確認に使うファイルが読めません。";
        case CURLE_SSH:
            return "SFTPの操作に失敗しました。";
        case CURLE_READ_ERROR:
            return "手元のファイルを読めませんでした。";
        case CURLE_WRITE_ERROR:
            return "送り先に書き込めませんでした。";
        case CURLE_ABORTED_BY_CALLBACK:
            return "取り消しました。";
        case CURLE_FILESIZE_EXCEEDED:
        case CURLE_REMOTE_DISK_FULL:
            return "サーバーの容量が足りません。";
        default:
            break;
    }
    return "送信に失敗しました。";
}

}  // namespace

std::string DescribeTransferFailure(int curlCode, std::string_view serverSaid,
                                    std::string_view detail) {
    std::string text = ReasonFor(static_cast<CURLcode>(curlCode));
    if (!serverSaid.empty()) {
        text += "\nサーバーの返事: ";
        text += serverSaid;
    }
    if (!detail.empty()) {
        text += "\n詳しく: ";
        text += detail;
    }
    return text;
}

std::string SetUpFailureText(std::string_view option, std::string_view detail) {
    std::string text = "通信の準備ができませんでした。通信ライブラリが設定 ";
    text += option;
    text += " を受け付けませんでした。設定の値を確かめてください。";
    if (!detail.empty()) {
        text += "\n詳しく: ";
        text += detail;
    }
    return text;
}

std::string FileFailureText(std::string_view fileName, std::string_view reason) {
    std::string text = "「";
    text += fileName;
    text += "」を送れませんでした。\n";
    text += reason;
    return text;
}

std::string MissingFileText(std::string_view path) {
    std::string text = "「";
    text += path;
    text += "」が見つかりません。このファイルは送りませんでした。";
    return text;
}

}  // namespace qm::tavmo
