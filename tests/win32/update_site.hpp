#pragma once
// A small update site for the update tests, inside the test process: it answers GET requests on
// 127.0.0.1 from a table of paths, and can answer slowly, cut a transfer short or never answer.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace update_site {

enum class Mode {
    Whole,   // the body at once
    Slow,    // the body in fifty parts, 200 ms apart
    Cut,     // announces the whole body, sends half and closes
    Silent,  // takes the connection and never answers
};

struct Answer {
    std::string body;
    Mode mode = Mode::Whole;
};

class Site {
  public:
    Site() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        listen(listener_, 16);
        acceptor_ = std::thread([this] { acceptLoop(); });
    }

    ~Site() {
        stop_ = true;
        closesocket(listener_);
        acceptor_.join();
        for (std::thread& t : connections_) t.join();
        WSACleanup();
    }

    /// Slow transfers still sending.
    int sending() const { return sending_.load(); }

    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }

    void set(const std::string& path, Answer answer) {
        std::lock_guard lock(mutex_);
        answers_[path] = std::move(answer);
    }

  private:
    void acceptLoop() {
        for (;;) {
            SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            connections_.emplace_back([this, client] { serve(client); });
        }
    }

    bool sendAll(SOCKET client, const char* data, std::size_t size) {
        while (size > 0) {
            const int sent = send(client, data, static_cast<int>(size), 0);
            if (sent <= 0) return false;
            data += sent;
            size -= static_cast<std::size_t>(sent);
        }
        return true;
    }

    void serve(SOCKET client) {
        std::string request;
        char buffer[2048];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
            const int got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        const std::size_t start = request.find(' ') + 1;
        const std::string path = request.substr(start, request.find(' ', start) - start);
        Answer answer;
        bool found;
        {
            std::lock_guard lock(mutex_);
            auto it = answers_.find(path);
            found = it != answers_.end();
            if (found) answer = it->second;
        }
        if (found && answer.mode == Mode::Silent) {
            while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        } else {
            const std::string head =
                std::string(found ? "HTTP/1.0 200 OK" : "HTTP/1.0 404 Not Found") +
                "\r\nContent-Length: " + std::to_string(answer.body.size()) +
                "\r\nConnection: close\r\n\r\n";
            sendAll(client, head.data(), head.size());
            const std::string& body = answer.body;
            if (answer.mode == Mode::Whole) {
                sendAll(client, body.data(), body.size());
            } else if (answer.mode == Mode::Cut) {
                sendAll(client, body.data(), body.size() / 2);
            } else {
                ++sending_;
                const std::size_t part = body.size() / 50 + 1;
                for (std::size_t at = 0; at < body.size() && !stop_; at += part) {
                    if (!sendAll(client, body.data() + at, std::min(part, body.size() - at))) break;
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                }
                --sending_;
            }
        }
        shutdown(client, SD_BOTH);
        closesocket(client);
    }

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> sending_{0};
    std::thread acceptor_;
    std::vector<std::thread> connections_;
    std::mutex mutex_;
    std::map<std::string, Answer> answers_;
};

}  // namespace update_site
