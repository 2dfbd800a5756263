// lyric-site: a local stand-in for the lyric web site, the LRCLIB API and the update site, for
// tests and the demo. Listens on 127.0.0.1 only and ends by itself after --lifetime seconds.
// Routes are listed in README.md beside this file.
//
// This file is compiled without the GBK execution character set, so its literals are UTF-8.

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct Options {
    int port = 0;  // 0: the system picks one
    fs::path data;
    fs::path root;
    int lifetimeSeconds = 600;
    int stallSeconds = 30;
};

std::optional<std::string> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// A keyword names a page file only when it cannot point outside the folder.
bool isPlainName(const std::string& name) {
    return !name.empty() && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos && name.find("..") == std::string::npos;
}

void notFound(httplib::Response& res) {
    res.status = 404;
    res.set_content("<html><body><h1>404 Not Found</h1></body></html>", "text/html");
}

// Bodies that misbehave on purpose; `which` is the last part of /x/<which>.
void misbehave(const std::string& which, const Options& options, httplib::Response& res) {
    if (which == "404") {
        notFound(res);
    } else if (which == "500") {
        res.status = 500;
        res.set_content("<html><body>server error</body></html>", "text/html");
    } else if (which == "moved") {
        // A redirect that the client follows on its own.
        res.status = 302;
        res.set_header("Location", "/lrc/night-gbk.lrc");
    } else if (which == "to-file") {
        // A redirect out of the web: never to be followed.
        res.status = 302;
        res.set_header("Location", "file:///etc/passwd");
    } else if (which == "stall") {
        // Headers and the body only after a long silence.
        std::this_thread::sleep_for(std::chrono::seconds(options.stallSeconds));
        res.set_content("late", "text/plain");
    } else if (which == "stall-body") {
        // Headers and a first part at once, then silence.
        int seconds = options.stallSeconds;
        res.set_content_provider("text/plain",
                                 [seconds](std::size_t offset, httplib::DataSink& sink) {
                                     if (offset == 0) return sink.write("first part\n", 11);
                                     std::this_thread::sleep_for(std::chrono::seconds(seconds));
                                     sink.done();
                                     return true;
                                 });
    } else if (which == "cut") {
        // Promises 5000 bytes, sends 1000 and closes.
        res.set_content_provider(5000, "text/plain",
                                 [](std::size_t, std::size_t, httplib::DataSink& sink) {
                                     std::string part(1000, 'c');
                                     sink.write(part.data(), part.size());
                                     return false;
                                 });
    } else if (which == "big") {
        // 300000 bytes with no Content-Length: the end of the body is the end of the connection.
        res.set_content_provider("text/plain", [](std::size_t offset, httplib::DataSink& sink) {
            const std::size_t total = 300000;
            if (offset >= total) {
                sink.done();
                return true;
            }
            std::string part(std::min<std::size_t>(7000, total - offset),
                             'a' + static_cast<char>(offset / 7000 % 26));
            return sink.write(part.data(), part.size());
        });
    } else if (which == "slow") {
        // Announces 1000000 bytes and sends 20000 of them every 400 ms: a download to watch.
        res.set_content_provider(1000000, "application/octet-stream",
                                 [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                     std::this_thread::sleep_for(std::chrono::milliseconds(400));
                                     std::string part(
                                         std::min<std::size_t>(20000, 1000000 - offset), 's');
                                     return sink.write(part.data(), part.size());
                                 });
    } else if (which == "endless") {
        res.set_content_provider("text/plain", [](std::size_t, httplib::DataSink& sink) {
            std::string part(65536, 'e');
            return sink.write(part.data(), part.size());
        });
    } else {
        notFound(res);
    }
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The LRCLIB-shaped API works on one file of records: search keeps the records whose track or
// artist name holds the query (ASCII letters compared without case); get returns one by id.
// Records are kept one a line in records.jsonl, so no JSON parser is needed here.
struct Record {
    std::string id;
    std::string json;
};

std::vector<Record> loadRecords(const fs::path& file) {
    std::vector<Record> records;
    auto text = readFile(file);
    if (!text) return records;
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find('\n', start);
        if (end == std::string::npos) end = text->size();
        std::string line = text->substr(start, end - start);
        start = end + 1;
        auto at = line.find("\"id\":");
        if (at == std::string::npos) continue;
        at += 5;
        std::size_t stop = at;
        while (stop < line.size() && line[stop] >= '0' && line[stop] <= '9') ++stop;
        records.push_back({line.substr(at, stop - at), line});
    }
    return records;
}

std::string fieldOf(const std::string& json, const std::string& key) {
    auto at = json.find("\"" + key + "\":\"");
    if (at == std::string::npos) return {};
    at += key.size() + 4;
    auto end = json.find('"', at);
    return end == std::string::npos ? std::string() : json.substr(at, end - at);
}

bool parseOptions(int argc, char** argv, Options& options) {
    options.data = LYRIC_SITE_DATA;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        if (arg == "--port")
            options.port = std::atoi(value.c_str());
        else if (arg == "--data")
            options.data = value;
        else if (arg == "--root")
            options.root = value;
        else if (arg == "--lifetime")
            options.lifetimeSeconds = std::atoi(value.c_str());
        else if (arg == "--stall")
            options.stallSeconds = std::atoi(value.c_str());
        else
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << "usage: lyric-site [--port N] [--data DIR] [--root DIR] [--lifetime S] "
                     "[--stall S]\n";
        return 1;
    }
    httplib::Server server;
    std::string base;  // http://127.0.0.1:PORT, put into pages where they say {base}
    const auto records = loadRecords(options.data / "lrclib" / "records.jsonl");

    // The lyric site's search: a page per keyword, the "nothing found" page for the rest.
    server.Get("/", [&](const httplib::Request& req, httplib::Response& res) {
        std::string keyword = req.get_param_value("keyword");
        if (keyword == "stall" || keyword == "cut" || keyword == "404") {
            misbehave(keyword, options, res);
            return;
        }
        auto page = isPlainName(keyword) ? readFile(options.data / "site" / (keyword + ".html"))
                                         : std::nullopt;
        if (!page) page = readFile(options.data / "site" / "nothing-found.html");
        if (!page) return notFound(res);
        replaceAll(*page, "{base}", base);
        res.set_content(*page, "text/html; charset=utf-8");
    });
    server.Get(R"(/lrc/([^/]+))", [&](const httplib::Request& req, httplib::Response& res) {
        std::string name = req.matches[1];
        auto body = isPlainName(name) ? readFile(options.data / "lrc" / name) : std::nullopt;
        if (!body) return notFound(res);
        res.set_content(*body, "text/plain");
    });
    // What the client sent: the request target as it arrived, its version and two headers.
    server.Get(R"(/x/echo.*)", [&](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.target + "\n" + req.version + "\n" +
                            req.get_header_value("User-Agent") + "\n" +
                            req.get_header_value("Accept") + "\n",
                        "text/plain");
    });
    server.Get(R"(/x/([a-z0-9-]+))", [&](const httplib::Request& req, httplib::Response& res) {
        misbehave(req.matches[1], options, res);
    });
    server.Get("/api/search", [&](const httplib::Request& req, httplib::Response& res) {
        std::string query = lowerAscii(req.get_param_value("q"));
        if (query == "stall" || query == "cut" || query == "500") {
            misbehave(query, options, res);
            return;
        }
        std::string body = "[";
        for (const auto& record : records) {
            std::string track = lowerAscii(fieldOf(record.json, "trackName"));
            std::string artist = lowerAscii(fieldOf(record.json, "artistName"));
            if (query.empty() ||
                (track.find(query) == std::string::npos && artist.find(query) == std::string::npos))
                continue;
            if (body.size() > 1) body += ",";
            body += record.json;
        }
        body += "]";
        res.set_content(body, "application/json");
    });
    server.Get(R"(/api/get/(\d+))", [&](const httplib::Request& req, httplib::Response& res) {
        for (const auto& record : records) {
            if (record.id == req.matches[1].str()) {
                res.set_content(record.json, "application/json");
                return;
            }
        }
        res.status = 404;
        res.set_content(R"({"code":404,"name":"TrackNotFound","message":"Failed to find"})",
                        "application/json");
    });
    if (!options.root.empty()) server.set_mount_point("/files", options.root.string());

    int port = options.port > 0
                   ? (server.bind_to_port("127.0.0.1", options.port) ? options.port : -1)
                   : server.bind_to_any_port("127.0.0.1");
    if (port <= 0) {
        std::cerr << "lyric-site: cannot listen on 127.0.0.1\n";
        return 1;
    }
    base = "http://127.0.0.1:" + std::to_string(port);
    std::cout << port << std::endl;

    std::thread([&server, seconds = options.lifetimeSeconds] {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        server.stop();
    }).detach();
    server.listen_after_bind();
    return 0;
}
