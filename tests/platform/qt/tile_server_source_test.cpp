// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/tile_server_source.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <tuple>

#include "support/local_tcp_server.h"
#include "support/test_support.h"
#include "wayplot2_version.h"

namespace wp2 {
namespace {

using namespace std::chrono_literals;
using Status = TileRead::Status;
using Clock = std::chrono::steady_clock;

// Runs an HTTP server on 127.0.0.1 whose answer is picked by the first part of
// the path (kHeads; "stall" never answers, "slow" answers late,
// "endless" streams a body without end, "flaky" answers as `flaky` says). It
// keeps every request, the most it answered at once and the bytes it streamed.
class TileServerSourceTest : public ::testing::Test {
protected:
    TileServerSourceTest() {
        static int argc = 1;
        static char name[] = "tile_server_source_test", *argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
        acceptor_ = std::thread([this] {
            for (int c; (c = accept(listen_, nullptr, nullptr)) >= 0;) {
                std::lock_guard lock(mutex_);
                handlers_.emplace_back([this, c] { serve(c), close(c); });
            }
        });
    }
    ~TileServerSourceTest() override {
        stop_ = true;
        shutdown(listen_, SHUT_RDWR);
        acceptor_.join();
        close(listen_);  // the handlers end with stop_ and are joined as they go
    }

    std::string url(const std::string& kind) {
        return "http://127.0.0.1:" + port_ + "/" + kind + "/{z}/{x}/{y}.png";
    }
    std::unique_ptr<TileSource> open(const std::string& kind, TileServerOptions options = {}) {
        OpenedSource opened = openTileServer(url(kind), options);
        EXPECT_EQ(opened.error, "");
        return std::move(opened.source);
    }
    std::vector<std::string> requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    static std::string tile(const std::string& path) { return "\x89PNG" + path; }

    void serve(int fd) {
        std::string in;
        char buf[4096];
        for (ssize_t n = 0; in.find("\r\n\r\n") == std::string::npos; in.append(buf, n)) {
            if ((n = recv(fd, buf, sizeof buf, 0)) <= 0) {
                return;
            }
        }
        const std::string path = in.substr(4, in.find(' ', 4) - 4);
        std::string kind = path.substr(1, path.find('/', 1) - 1);
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(in);
            most_ = std::max(most_.load(), ++inFlight_);
        }
        for (int i = 0; kind == "slow" && i < 20 && inFlight_ < 2; ++i) {
            std::this_thread::sleep_for(10ms);  // waits for company, then for more
        }
        std::this_thread::sleep_for(kind == "slow" ? 50ms : 0ms);
        --inFlight_;
        kind = kind != "flaky" ? kind : std::string(flaky_.load());
        if (kind == "stale" && in.find("If-None-Match: \"v1\"") != std::string::npos) {
            kind = "revalidated";
        }
        static const std::map<std::string, std::string> kHeads = {
            {"gone", "404 Not Found\r\n"},
            {"error", "500 Internal Server Error\r\n"},
            {"busy", "503 Service Unavailable\r\nRetry-After: 7\r\n"},
            {"stale", "200 OK\r\nCache-Control: max-age=0, must-revalidate\r\nETag: \"v1\"\r\n"},
            {"revalidated", "304 Not Modified\r\nETag: \"v1\"\r\n"},
            {"huge", "200 OK\r\nContent-Length: 1073741824\r\n"},  // then 1 KiB and a stall
            {"endless", "200 OK\r\n"}};
        const auto known = kHeads.find(kind);
        std::string head =
            "HTTP/1.1 " +
            (known != kHeads.end() ? known->second : "200 OK\r\nCache-Control: max-age=3600\r\n");
        std::string body = kind == "revalidated" ? ""
                           : kind == "huge"      ? std::string(1024, 'x')
                                                 : tile(path);
        if (kind != "huge" && kind != "endless") {
            head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
        }
        head += "Connection: close\r\n\r\n" + body;
        if (kind == "drop" ||
            (kind != "stall" && send(fd, head.data(), head.size(), MSG_NOSIGNAL) < 0)) {
            return;
        }
        const std::string chunk(1 << 16, 'x');
        while (kind == "endless" && streamed_ < (256 << 20) &&
               send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL) > 0) {
            streamed_ += chunk.size();
        }
        pollfd p{fd, POLLIN, 0};  // a stall lasts until the client leaves
        while ((kind == "stall" || kind == "huge") && !stop_ &&
               (poll(&p, 1, 20) == 0 || recv(fd, buf, 1, 0) > 0)) {
        }
    }

    test::TempDir root_{true};  // the disk cache goes under it
    int listen_ = test::listenOnLoopback(0, 16);
    std::string port_ = std::to_string(test::portOf(listen_));
    std::atomic<bool> stop_{false};
    std::atomic<int> inFlight_{0}, most_{0};
    std::atomic<std::int64_t> streamed_{0};
    std::atomic<const char*> flaky_{"stale"};
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::vector<std::jthread> handlers_;
    std::thread acceptor_;
};

TEST_F(TileServerSourceTest, FetchesOnFirstReadAndKeepsTilesAsTheServerSays) {
    auto fresh = open("fresh");
    auto stale = open("stale");
    const std::string cache = tileServerCacheDir(url("fresh"));
    EXPECT_EQ(cache.rfind(root_.path() + "/cache/tiles/", 0), 0u);
    const MapInfo& info = fresh->info();
    EXPECT_EQ(std::tuple(info.name, info.format, info.maxZoom), std::tuple("127.0.0.1", "png", 19));
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(requests().empty());
    EXPECT_FALSE(std::filesystem::exists(cache));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(fresh->read({3, 1, 2}).data, tile("/fresh/3/1/2.png"));
        EXPECT_EQ(stale->read({3, 1, 2}).data, tile("/stale/3/1/2.png"));
    }
    // The fresh tile came from the disk cache the second time; the stale one was revalidated.
    const auto asked = requests();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_NE(asked[0].find("\r\nUser-Agent: Wayplot2/" WAYPLOT2_VERSION "\r\n"),
              std::string::npos);
    EXPECT_EQ(asked[1].find("If-None-Match"), std::string::npos);
    EXPECT_NE(asked[2].find("If-None-Match: \"v1\""), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(cache));
    EXPECT_EQ(fresh->read({20, 0, 0}).status, Status::Missing);  // beyond the server's zoom levels
}

TEST_F(TileServerSourceTest, AnswersBecomeFoundMissingOrFailedWithAPause) {
    const struct {
        std::string url;
        Status status;
        std::string reason;
        double retryAfter;
    } cases[] = {{url("gone"), Status::Missing, "HTTP 404 Not Found", 0},
                 {url("error"), Status::Failed, "HTTP 500 Internal Server Error", 2},
                 {url("busy"), Status::Failed, "HTTP 503 Service Unavailable", 7},
                 {url("stall"), Status::Failed, "no answer within 300 ms", 2},
                 {"http://127.0.0.1:1/{z}/{x}/{y}", Status::Failed, "Connection refused", 2},
                 {url("huge"), Status::Missing, "tile larger than 4 MiB", 0},
                 {url("endless"), Status::Missing, "tile larger than 4 MiB", 0}};
    TileServerOptions options;
    options.timeoutMs = 300;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        auto source = openTileServer(c.url, options).source;
        const auto start = Clock::now();
        const TileRead read = source->read({1, 0, 1});
        EXPECT_LT(Clock::now() - start, 2s);
        EXPECT_LT(streamed_, 64 << 20);  // an endless body is left once over the limit
        EXPECT_EQ(read.status, c.status);
        EXPECT_NE(read.reason.find(c.reason), std::string::npos) << read.reason;
        EXPECT_NEAR(read.retryAfter, c.retryAfter, 0.2);
    }
}

TEST_F(TileServerSourceTest, APauseSkipsTheNetworkDoublesAndEndsWithASuccess) {
    TileServerOptions options;
    options.firstPause = 0.2;
    auto source = open("flaky", options);
    const auto expect = [&](TileKey key, Status status, double retryAfter, std::size_t asked) {
        const TileRead read = source->read(key);
        EXPECT_EQ(read.status, status);
        EXPECT_NEAR(read.retryAfter, retryAfter, 0.1);
        EXPECT_EQ(requests().size(), asked);
        return std::chrono::duration<double>(read.retryAfter);
    };
    flaky_ = "error";
    expect({1, 0, 0}, Status::Failed, 0.2, 1);
    std::this_thread::sleep_for(expect({1, 0, 1}, Status::Failed, 0.2, 1));  // paused: not asked
    expect({1, 0, 1}, Status::Failed, 0.4, 2);
    flaky_ = "stale";
    std::this_thread::sleep_for(0.4s);
    expect({1, 0, 0}, Status::Found, 0, 3);
    // Offline: the stale copy is served, and the pause starts again from its first length.
    flaky_ = "drop";
    EXPECT_EQ(source->read({1, 0, 0}).data, tile("/flaky/1/0/0.png"));
    const std::size_t asked = requests().size();
    expect({1, 0, 1}, Status::Failed, 0.2, asked);
    expect({1, 0, 0}, Status::Found, 0, asked);
}

TEST_F(TileServerSourceTest, FourReadersShareTwoConnectionsAndClosingEndsPendingReads) {
    auto source = open("slow");
    std::atomic<int> found{0};
    for (std::jthread readers[4]; auto& r : readers) {  // joined as the loop ends
        r = std::jthread([&, i = &r - readers] {
            for (int y = 0; y < 3; ++y) {
                found += source->read({2, int(i), y}).status == Status::Found;
            }
        });
    }
    EXPECT_EQ(found, 12);
    EXPECT_EQ(most_, 2);

    auto stalled = open("stall");
    TileRead pending;
    std::thread reader([&] { pending = stalled->read({0, 0, 0}); });
    while (requests().size() < 13) {
        std::this_thread::sleep_for(5ms);
    }
    const auto start = Clock::now();
    stalled.reset();
    reader.join();
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(pending.status, Status::Failed);
}

TEST_F(TileServerSourceTest, RefusesTemplatesItCannotFill) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "must start with http:// or https://"},
        {"ftp://h/{z}/{x}/{y}.png", "must start with http:// or https://"},
        {"http://h/{x}/{y}.png", "needs {z}, {x} and {y} once each"},
        {"https://h/{z}/{x}/{y}/{x}.png", "needs {z}, {x} and {y} once each"},
        {"http:///{z}/{x}/{y}", "not a valid URL"}};
    for (const auto& [address, error] : cases) {
        OpenedSource opened = openTileServer(address);
        EXPECT_EQ(opened.source, nullptr);
        EXPECT_NE(opened.error.find(error), std::string::npos) << opened.error;
    }
}

}  // namespace
}  // namespace wp2
