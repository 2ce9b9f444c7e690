// A tiny HTTP server on 127.0.0.1 for transfer tests: one thread, canned replies.
//
//   TestHttpServer server([](TestHttpServer::Connection& c) {
//       c.Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello");
//   });
//   FetchUrl(server.Url("/x"), ...);
//
// Each accepted connection runs the reply function (which may send in pieces, sleep or
// stop early) and is then closed. Each request's head is kept for the test to read.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wintest {

// A socket listening on a free port of the loopback address, that port in `port`. WinSock must
// have been started (WSAStartup).
inline SOCKET ListenOnLoopback(unsigned short& port) {
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener, 8);
    int size = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
    return listener;
}

class TestHttpServer {
public:
    struct Connection {
        SOCKET socket;
        std::string requestLine;
        bool Send(const std::string& bytes) {
            return send(socket, bytes.data(), static_cast<int>(bytes.size()), 0) ==
                   static_cast<int>(bytes.size());
        }
        // Resets the connection instead of closing it in order.
        void Reset() {
            linger hard{1, 0};
            setsockopt(socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof hard);
        }
    };
    using Reply = std::function<void(Connection&)>;

    explicit TestHttpServer(Reply reply) : reply_(std::move(reply)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = ListenOnLoopback(port_);
        thread_ = std::thread([this] { Serve(); });
    }
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;
    ~TestHttpServer() {
        stopping_ = true;
        closesocket(listener_);
        thread_.join();
        WSACleanup();
    }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::vector<std::string> RequestLines() {
        std::vector<std::string> lines;
        for (const std::string& head : RequestHeads()) lines.push_back(head.substr(0, head.find("\r\n")));
        return lines;
    }
    // Request line and header lines, each ending in CR LF, as the server received them.
    std::vector<std::string> RequestHeads() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    void Serve() {
        while (!stopping_) {
            SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            const std::string head = ReadRequestHead(client);
            Connection connection{client, head.substr(0, head.find("\r\n"))};
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(head);
            }
            reply_(connection);
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    static std::string ReadRequestHead(SOCKET client) {
        std::string head;
        char c;
        while (head.find("\r\n\r\n") == std::string::npos && recv(client, &c, 1, 0) == 1) head += c;
        const auto end = head.find("\r\n\r\n");
        return end == std::string::npos ? head : head.substr(0, end + 2);
    }

    Reply reply_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

}  // namespace wintest
