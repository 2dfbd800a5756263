#pragma once
// The words for the network failures a user can mend outside the program, the same for every
// client (WinINet, libcurl) and every caller (search, lyric download, update).

#include "platform/web_fetch.hpp"

/// The words for a failure of the certificate, its revocation check, TLS, a proxy that asks
/// for a logon, or a computer without network; empty for any other outcome.
inline GbkText connectionProblem(const FetchOutcome& outcome) {
    switch (outcome.failure) {
        case FetchFailure::Certificate:
            return "服务器证书无效（过期、不受信任或与网址不符）";
        case FetchFailure::Revocation:
            return "服务器证书已被吊销，或无法检查是否吊销";
        case FetchFailure::Tls:
            return "无法建立安全连接（Windows 7 请启用 TLS 1.2）";
        case FetchFailure::ProxyLogon:
            return "代理服务器要求登录，请在系统的代理设置中登录";
        case FetchFailure::Offline:
            return "电脑没有连接网络";
        case FetchFailure::None:
            // A proxy that wants a logon answers for the server.
            if (outcome.status == 407) return "代理服务器要求登录，请在系统的代理设置中登录";
            return "";
        default:
            return "";
    }
}
