// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/tile_server_source.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "core/base/paths.h"
#include "wayplot2_version.h"

namespace wp2 {

namespace {

using Clock = std::chrono::steady_clock;

// Requests in flight at once, whatever the number of callers: tile servers
// ask clients to keep to two connections.
constexpr int kMaxConnections = 2;
// Longest pause after repeated failures, and longest Retry-After taken, seconds.
constexpr double kMaxPause = 300;
constexpr double kMaxRetryAfter = 3600;

constexpr qint64 kReadBuffer = 64 * 1024;

constexpr const char* kPlaceholders[] = {"{z}", "{x}", "{y}"};

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

std::string tileAddress(std::string urlTemplate, const TileKey& key) {
    const int values[] = {key.z, key.x, key.y};
    for (int i = 0; i < 3; ++i) {
        urlTemplate.replace(urlTemplate.find(kPlaceholders[i]), 3, std::to_string(values[i]));
    }
    return urlTemplate;
}

// "4 MiB", "64 KiB" or "1000 bytes".
std::string sizeText(std::int64_t bytes) {
    if (bytes > 0 && bytes % (1 << 20) == 0) {
        return std::to_string(bytes >> 20) + " MiB";
    }
    if (bytes > 0 && bytes % 1024 == 0) {
        return std::to_string(bytes >> 10) + " KiB";
    }
    return std::to_string(bytes) + " bytes";
}

// "15 s" or "300 ms".
std::string durationText(int ms) {
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// What one request came to, before the source's pause bookkeeping.
struct Fetched {
    TileRead tile;
    bool serverFailed = false;  // a failure that pauses the server
    double retryAfter = 0;      // seconds the server asked for (Retry-After)
};

// One request on the network thread.
struct Transfer {
    std::promise<Fetched> done;
    QByteArray body;
    bool tooLarge = false;
    bool closing = false;
};

Fetched failure(std::string reason, double retryAfter = 0) {
    return {{TileRead::Status::Failed, {}, std::move(reason), 0}, true, retryAfter};
}

class TileServerSource final : public TileSource {
public:
    TileServerSource(std::string urlTemplate, MapInfo info, TileServerOptions options)
        : template_(std::move(urlTemplate)),
          info_(std::move(info)),
          options_(std::move(options)),
          nextPause_(options_.firstPause),
          context_(new QObject) {
        // Created here, started by the first read: a map never shown costs no thread.
        context_->moveToThread(&thread_);
    }

    ~TileServerSource() override {
        cancel();
        std::unique_lock lock(mutex_);
        if (!thread_.isRunning()) {
            return;
        }
        changed_.wait(lock, [this] { return callers_ == 0; });
        lock.unlock();
        thread_.quit();
        thread_.wait();
    }

    void cancel() override {
        std::unique_lock lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
        if (!thread_.isRunning()) {
            return;
        }
        lock.unlock();
        // Ends the transfers in flight (their reads return Failed); a request
        // posted after this one is refused on arrival.
        QMetaObject::invokeMethod(
            context_.get(),
            [this] {
                closed_ = true;
                const auto live = live_;
                for (const auto& [reply, transfer] : live) {
                    transfer->closing = true;
                    reply->abort();
                }
                delete manager_;
                manager_ = nullptr;
            },
            Qt::BlockingQueuedConnection);
    }

    const MapInfo& info() const override { return info_; }

    TileRead read(const TileKey& key) override {
        const int side = key.z >= 0 && key.z <= kMaxTileZoom ? 1 << key.z : 0;
        if (key.z < info_.minZoom || key.z > info_.maxZoom || key.x < 0 || key.y < 0 ||
            key.x >= side || key.y >= side) {
            return {TileRead::Status::Missing, {}, "outside the zoom levels of the server", 0};
        }
        const QUrl url(QString::fromStdString(tileAddress(template_, key)));
        std::unique_lock lock(mutex_);
        if (stopping_) {
            return closedRead();
        }
        if (!thread_.isRunning()) {
            startNetwork();
        }
        ++callers_;
        changed_.wait(lock, [this] {
            return stopping_ || active_ < kMaxConnections || pausedFor(Clock::now()) > 0;
        });
        if (stopping_) {
            leave();
            return closedRead();
        }
        // While the server is paused only the disk cache is asked.
        const bool network = pausedFor(Clock::now()) <= 0;
        if (network) {
            ++active_;
        }
        lock.unlock();

        auto transfer = std::make_shared<Transfer>();
        std::future<Fetched> result = transfer->done.get_future();
        QMetaObject::invokeMethod(context_.get(), [this, url, network, transfer] {
            if (network) {
                fetch(url, transfer);
            } else {
                lookUp(url, transfer);
            }
        });
        Fetched fetched = result.get();

        lock.lock();
        if (network) {
            --active_;
        }
        const Clock::time_point now = Clock::now();
        if (fetched.serverFailed) {
            pause(now, fetched.retryAfter);
        } else if (network && fetched.tile.status != TileRead::Status::Failed) {
            nextPause_ = options_.firstPause;  // the server answered
        }
        if (fetched.tile.status == TileRead::Status::Failed) {
            fetched.tile.retryAfter = std::max(pausedFor(now), 0.0);
        }
        leave();
        return std::move(fetched.tile);
    }

private:
    static TileRead closedRead() {
        return {TileRead::Status::Failed, {}, "the map source is closed", 0};
    }

    // With mutex_ held.
    void leave() {
        --callers_;
        changed_.notify_all();
    }

    // Seconds the server stays paused from now (mutex_ held).
    double pausedFor(Clock::time_point now) const {
        return std::chrono::duration<double>(pausedUntil_ - now).count();
    }

    // A failure starts a pause unless one is running (a request sent before it
    // failing too does not lengthen it); Retry-After can only lengthen one.
    void pause(Clock::time_point now, double retryAfter) {
        const auto seconds = [](double s) {
            return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
        };
        if (pausedFor(now) <= 0) {
            pausedUntil_ = now + seconds(std::max(nextPause_, retryAfter));
            nextPause_ = std::min(nextPause_ * 2, kMaxPause);
        } else {
            pausedUntil_ = std::max(pausedUntil_, now + seconds(retryAfter));
        }
        changed_.notify_all();  // readers waiting for a connection now go to the cache
    }

    // With mutex_ held. The manager and its cache are made on the network
    // thread, which then owns them; requests queued behind find them ready.
    void startNetwork() {
        thread_.start();
        QMetaObject::invokeMethod(context_.get(), [this] {
            manager_ = new QNetworkAccessManager;
            auto* cache = new QNetworkDiskCache(manager_);
            cache->setCacheDirectory(QString::fromStdString(options_.cacheDir));
            cache->setMaximumCacheSize(options_.diskCacheBytes);
            manager_->setCache(cache);
        });
    }

    // On the network thread from here on.

    void fetch(const QUrl& url, const std::shared_ptr<Transfer>& transfer) {
        if (closed_) {
            transfer->done.set_value({closedRead(), false, 0});
            return;
        }
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::UserAgentHeader,
                          QStringLiteral("Wayplot2/" WAYPLOT2_VERSION));
        request.setTransferTimeout(options_.timeoutMs);
        QNetworkReply* reply = manager_->get(request);
        // The network is read no faster than the tile is taken, so a body
        // without end is cut off at the limit rather than piling up unread.
        reply->setReadBufferSize(kReadBuffer);
        live_[reply] = transfer;
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this, reply, transfer] {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid() && length.toLongLong() > options_.maxTileBytes) {
                refuse(reply, *transfer);
            }
        });
        QObject::connect(reply, &QNetworkReply::readyRead, reply,
                         [this, reply, transfer] { take(reply, *transfer); });
        QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply, transfer, url] {
            live_.erase(reply);
            reply->deleteLater();
            if (reply->isOpen()) {  // not aborted
                take(reply, *transfer);
            }
            Fetched fetched = outcome(*reply, *transfer);
            if (fetched.serverFailed) {
                // Offline use: a copy in the cache, however old, beats no map.
                if (std::optional<QByteArray> copy = cachedCopy(url)) {
                    fetched.tile.status = TileRead::Status::Found;
                    fetched.tile.data = copy->toStdString();
                }
            }
            transfer->done.set_value(std::move(fetched));
        });
    }

    // Keeps what arrived, never more than one byte past the limit.
    void take(QNetworkReply* reply, Transfer& transfer) {
        const qint64 room = options_.maxTileBytes - transfer.body.size();
        transfer.body += reply->read(room + 1);
        if (transfer.body.size() > options_.maxTileBytes) {
            refuse(reply, transfer);
        }
    }

    static void refuse(QNetworkReply* reply, Transfer& transfer) {
        transfer.tooLarge = true;
        transfer.body.clear();
        reply->abort();
    }

    Fetched outcome(const QNetworkReply& reply, const Transfer& transfer) const {
        if (transfer.closing) {
            return {closedRead(), false, 0};
        }
        if (transfer.tooLarge) {
            return {{TileRead::Status::Missing,
                     {},
                     "tile larger than " + sizeText(options_.maxTileBytes),
                     0},
                    false,
                    0};
        }
        const QNetworkReply::NetworkError error = reply.error();
        const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
        // Errors below the protocol's (connection, timeout, TLS, proxy) leave
        // any status line incomplete.
        if (error == QNetworkReply::OperationCanceledError ||
            error == QNetworkReply::TimeoutError) {
            return failure("no answer within " + durationText(options_.timeoutMs));
        }
        if ((error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied) ||
            !status.isValid()) {
            return failure(reply.errorString().toStdString());
        }
        const int code = status.toInt();
        const std::string text =
            "HTTP " + std::to_string(code) + " " +
            reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().toStdString();
        if (code == 204 || code == 404 || code == 410) {
            return {{TileRead::Status::Missing, {}, text, 0}, false, 0};
        }
        if (code >= 200 && code < 300) {
            return {{TileRead::Status::Found, transfer.body.toStdString(), {}, 0}, false, 0};
        }
        double retryAfter = 0;
        if (code == 429 || code == 503) {
            bool ok = false;
            const double asked = reply.rawHeader("Retry-After").trimmed().toDouble(&ok);
            retryAfter = ok ? std::clamp(asked, 0.0, kMaxRetryAfter) : 0;
        }
        return failure(text, retryAfter);
    }

    std::optional<QByteArray> cachedCopy(const QUrl& url) const {
        if (!manager_) {
            return std::nullopt;
        }
        std::unique_ptr<QIODevice> data(manager_->cache()->data(url));
        if (!data) {
            return std::nullopt;
        }
        return data->readAll();
    }

    void lookUp(const QUrl& url, const std::shared_ptr<Transfer>& transfer) const {
        Fetched fetched{
            {TileRead::Status::Failed, {}, "the server is paused after a failure", 0}, false, 0};
        if (std::optional<QByteArray> copy = cachedCopy(url)) {
            fetched.tile = {TileRead::Status::Found, copy->toStdString(), {}, 0};
        }
        transfer->done.set_value(std::move(fetched));
    }

    const std::string template_;
    const MapInfo info_;
    const TileServerOptions options_;

    std::mutex mutex_;
    std::condition_variable changed_;  // a connection freed, a pause began, a caller left
    bool stopping_ = false;
    int callers_ = 0;  // inside read()
    int active_ = 0;   // requests on the network
    double nextPause_;
    Clock::time_point pausedUntil_{};

    QThread thread_;
    std::unique_ptr<QObject> context_;  // lives on thread_; deleted after it ends
    // Network thread only.
    QNetworkAccessManager* manager_ = nullptr;
    std::unordered_map<QNetworkReply*, std::shared_ptr<Transfer>> live_;
    bool closed_ = false;
};

}  // namespace

std::string tileServerCacheDir(const std::string& urlTemplate) {
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(urlTemplate),
                                                     QCryptographicHash::Sha256);
    return Paths::cacheDir() + "/tiles/" + hash.toHex().left(16).toStdString();
}

OpenedSource openTileServer(const std::string& urlTemplate, const TileServerOptions& options) {
    if (!QCoreApplication::instance()) {
        // Qt's network access would wait for ever without one.
        return {nullptr, "a tile server can only be read with a Qt application object"};
    }
    if (!urlTemplate.starts_with("http://") && !urlTemplate.starts_with("https://")) {
        return {nullptr, "the tile server address must start with http:// or https://: \"" +
                             urlTemplate + "\""};
    }
    for (const char* placeholder : kPlaceholders) {
        if (occurrences(urlTemplate, placeholder) != 1) {
            return {nullptr,
                    "the tile server address needs {z}, {x} and {y} once each: " + urlTemplate};
        }
    }
    const QUrl sample(QString::fromStdString(tileAddress(urlTemplate, {})), QUrl::StrictMode);
    if (!sample.isValid() || sample.host().isEmpty()) {
        return {nullptr, "the tile server address is not a valid URL: " + urlTemplate};
    }
    MapInfo info;
    info.name = sample.host().toStdString();
    const QString file = sample.path().section('/', -1);
    if (file.contains('.')) {
        info.format = file.section('.', -1).toLower().toStdString();
    }
    info.maxZoom = std::clamp(options.maxZoom, 0, kMaxTileZoom);
    TileServerOptions used = options;
    if (used.cacheDir.empty()) {
        used.cacheDir = tileServerCacheDir(urlTemplate);
    }
    return {std::make_unique<TileServerSource>(urlTemplate, std::move(info), std::move(used)), {}};
}

}  // namespace wp2
