// lyric-site: a local stand-in for the lyric web site, the LRCLIB, NetEase and QQ Music APIs and
// the update site, for tests and the demo. Listens on 127.0.0.1 only and ends by itself after
// --lifetime seconds. Routes are listed in README.md beside this file.
//
// This file is compiled without the GBK execution character set, so its literals are UTF-8.

#include <httplib.h>

#include <algorithm>
#include <cctype>
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

// The music services' stand-ins (NetEase-, QQ Music- and LRCLIB-shaped) share one catalogue,
// data/music/catalogue.tsv: a line a recording, with its id on each service that has it.
struct Song {
    std::string key, netease, qq, lrclib, title, artist;
    int seconds = 0;
    bool pure = false;        // no words: the services say so in their own ways
    bool translated = false;  // the services carry a translation
};

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        std::size_t tab = line.find('\t', start);
        fields.push_back(
            line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

std::vector<Song> loadCatalogue(const fs::path& file) {
    std::vector<Song> songs;
    auto text = readFile(file);
    if (!text) return songs;
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find('\n', start);
        if (end == std::string::npos) end = text->size();
        const std::string line = text->substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        auto f = splitTabs(line);
        if (f.size() < 9) continue;
        songs.push_back({f[0], f[1], f[2], f[3], f[4], f[5], std::atoi(f[6].c_str()),
                         f[7] == "pure", f[8] == "1"});
    }
    return songs;
}

std::string jsonText(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// The lyric and translation of a recording; written for this project.
std::string lyricOf(const Song& song) {
    return "[ti:" + song.title + "]\n[ar:" + song.artist + "]\n[00:01.00]" + song.title +
           "\n[00:05.20]Light on the water, light on the road\n[00:09.40]我们走在回家的路上\n"
           "[00:13.60]" +
           song.title + "\n";
}
std::string translationOf(const Song& song) {
    if (!song.translated) return "";
    return "[by:stand-in]\n[00:01.00]《" + song.title +
           "》\n[00:05.20]水上的光，路上的光\n[00:09.40]We walk on the way home\n";
}

// Words of a query: split at spaces, ASCII punctuation left out, ASCII letters in lower case.
std::vector<std::string> wordsOf(const std::string& query) {
    std::vector<std::string> words;
    std::string word;
    for (char c : query + " ") {
        if (c == ' ') {
            if (!word.empty()) words.push_back(lowerAscii(word));
            word.clear();
        } else if (static_cast<unsigned char>(c) >= 0x80 ||
                   std::isalnum(static_cast<unsigned char>(c))) {
            word += c;
        }
    }
    return words;
}

// The fuzzy services list a recording when any word is in its title or artist; LRCLIB wants
// every word. Both keep the catalogue's order.
bool matches(const Song& song, const std::vector<std::string>& words, bool everyWord) {
    if (words.empty()) return false;
    const std::string haystack = lowerAscii(song.title + " " + song.artist);
    for (const std::string& word : words) {
        const bool found = haystack.find(word) != std::string::npos;
        if (found && !everyWord) return true;
        if (!found && everyWord) return false;
    }
    return everyWord;
}

std::string lrclibRecord(const Song& song) {
    return "{\"id\":" + song.lrclib + ",\"trackName\":" + jsonText(song.title) +
           ",\"artistName\":" + jsonText(song.artist) +
           ",\"albumName\":\"Stand-in\",\"duration\":" + std::to_string(song.seconds) +
           ".0,\"instrumental\":" + (song.pure ? "true" : "false") +
           ",\"plainLyrics\":null,\"syncedLyrics\":" +
           (song.pure ? std::string("null") : jsonText(lyricOf(song))) + "}";
}

// QQ Music escapes every character but letters and digits of its lyric texts as &#NN;.
std::string qqEscaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x80 || std::isalnum(c))
            out += static_cast<char>(c);
        else
            out += "&#" + std::to_string(c) + ";";
    }
    return out;
}

std::string base64(const std::string& bytes) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned n = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                           static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6) out += kDigits[(n >> shift) & 63];
    }
    if (i < bytes.size()) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kDigits[(n >> 18) & 63];
        out += kDigits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

const char* kNeteaseHostile =
    R"({"code":200,"result":{"songs":[{"id":"1","name":"string id"},{"id":-5,"name":"negative"},)"
    R"({"id":1.5,"name":"fraction"},{"id":99999999999999999999999,"name":"too long"},)"
    R"({"id":186001,"name":"..\\..\\\u6b4c\u8bcd\u0000CON","artists":{"name":"x"},"duration":"long"},)"
    R"({"id":186003,"name":"<b>bold</b>","artists":[{"name":null},{"name":"ok"},7],"duration":-1},)"
    R"(null,[],"x"]}})";
const char* kQqHostile =
    R"(callback({"code":0,"data":{"song":{"list":[{"songmid":"../../x?y=1","songname":"escape"},)"
    R"({"songmid":"000007QqMid01","songname":"&#60;a&#62; &amp;&#0;&#xD800;&bogus","singer":"x",)"
    R"("interval":1e99},{"songmid":7,"songname":"number mid"},{"songmid":"000014QqMid02",)"
    R"("songname":["not","text"]}]}}}))";

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
    // Many answers here stall on purpose, each holding a worker for --stall seconds; with the
    // library's eight workers a run of tests that leave such requests behind would starve the
    // answers that should come at once.
    server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    std::string base;  // http://127.0.0.1:PORT, put into pages where they say {base}
    auto records = loadRecords(options.data / "lrclib" / "records.jsonl");
    const auto catalogue = loadCatalogue(options.data / "music" / "catalogue.tsv");
    for (const Song& song : catalogue) {
        if (!song.lrclib.empty()) records.push_back({song.lrclib, lrclibRecord(song)});
    }

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
        // Every word of the query in the track or artist name.
        const auto words = wordsOf(query);
        std::string body = "[";
        for (const auto& record : records) {
            std::string track = lowerAscii(fieldOf(record.json, "trackName"));
            std::string artist = lowerAscii(fieldOf(record.json, "artistName"));
            bool all = !words.empty();
            for (const auto& word : words) {
                if (track.find(word) == std::string::npos && artist.find(word) == std::string::npos)
                    all = false;
            }
            if (!all) continue;
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
    // LRCLIB's exact lookup: title and artist (ASCII case ignored) and a length within 2 s.
    server.Get("/api/get", [&](const httplib::Request& req, httplib::Response& res) {
        const std::string track = lowerAscii(req.get_param_value("track_name"));
        const std::string artist = lowerAscii(req.get_param_value("artist_name"));
        const int seconds = std::atoi(req.get_param_value("duration").c_str());
        for (const auto& record : records) {
            const std::size_t at = record.json.find("\"duration\":");
            const int recordSeconds =
                at == std::string::npos ? -100 : std::atoi(record.json.c_str() + at + 11);
            if (lowerAscii(fieldOf(record.json, "trackName")) == track &&
                lowerAscii(fieldOf(record.json, "artistName")) == artist &&
                std::abs(recordSeconds - seconds) <= 2) {
                res.set_content(record.json, "application/json");
                return;
            }
        }
        res.status = 404;
        res.set_content(R"({"code":404,"name":"TrackNotFound","message":"Failed to find"})",
                        "application/json");
    });

    // NetEase Cloud Music's web search and lyric.
    server.Get("/api/search/get/web", [&](const httplib::Request& req, httplib::Response& res) {
        const std::string query = req.get_param_value("s");
        if (query == "stall") return misbehave("stall", options, res);
        if (query == "hostile") return res.set_content(kNeteaseHostile, "application/json");
        std::string songs;
        int count = 0;
        for (const Song& song : catalogue) {
            if (song.netease.empty() || !matches(song, wordsOf(query), false)) continue;
            if (count++) songs += ",";
            songs += "{\"id\":" + song.netease + ",\"name\":" + jsonText(song.title) +
                     ",\"artists\":[{\"id\":1,\"name\":" + jsonText(song.artist) +
                     "}],\"album\":{\"name\":\"Stand-in\"},\"duration\":" +
                     std::to_string(song.seconds * 1000 + 412) + "}";
        }
        const std::string result =
            count ? "{\"songs\":[" + songs + "],\"songCount\":" + std::to_string(count) + "}"
                  : std::string("{\"songCount\":0}");
        res.set_content("{\"result\":" + result + ",\"code\":200}", "application/json");
    });
    server.Get("/api/song/lyric", [&](const httplib::Request& req, httplib::Response& res) {
        const std::string id = req.get_param_value("id");
        for (const Song& song : catalogue) {
            if (song.netease.empty() || song.netease != id) continue;
            if (song.pure) {
                return res.set_content(
                    R"({"sgc":false,"lrc":{"version":1,"lyric":"[00:00.000] 纯音乐，请欣赏\n"},"code":200})",
                    "application/json");
            }
            return res.set_content("{\"lrc\":{\"version\":3,\"lyric\":" + jsonText(lyricOf(song)) +
                                       "},\"tlyric\":{\"version\":1,\"lyric\":" +
                                       jsonText(translationOf(song)) + "},\"code\":200}",
                                   "application/json");
        }
        res.set_content(R"({"uncollected":true,"code":200})", "application/json");
    });

    // QQ Music's search and lyric (the lyric only for requests from its player page).
    server.Get("/soso/fcgi-bin/client_search_cp", [&](const httplib::Request& req,
                                                      httplib::Response& res) {
        const std::string query = req.get_param_value("w");
        if (query == "stall") return misbehave("stall", options, res);
        if (query == "hostile") return res.set_content(kQqHostile, "application/json");
        std::string list;
        int count = 0;
        for (const Song& song : catalogue) {
            if (song.qq.empty() || !matches(song, wordsOf(query), false)) continue;
            if (count++) list += ",";
            list += "{\"songmid\":\"" + song.qq + "\",\"songname\":" + jsonText(song.title) +
                    ",\"singer\":[{\"id\":1,\"mid\":\"s\",\"name\":" + jsonText(song.artist) +
                    "}],\"albumname\":\"Stand-in\",\"interval\":" + std::to_string(song.seconds) +
                    "}";
        }
        std::string body = "{\"code\":0,\"data\":{\"keyword\":" + jsonText(query) +
                           ",\"song\":{\"curnum\":" + std::to_string(count) + ",\"list\":[" + list +
                           "],\"totalnum\":" + std::to_string(count) + "}},\"message\":\"\"}";
        if (req.get_param_value("format") != "json") body = "callback(" + body + ")";
        res.set_content(body, "application/json");
    });
    server.Get("/lyric/fcgi-bin/fcg_query_lyric_new.fcg", [&](const httplib::Request& req,
                                                              httplib::Response& res) {
        if (req.get_header_value("Referer").find("y.qq.com") == std::string::npos) {
            return res.set_content(R"({"retcode":-1310,"code":-1310,"subcode":-1310})",
                                   "application/json");
        }
        const std::string mid = req.get_param_value("songmid");
        const bool plain = req.get_param_value("nobase64") == "1";
        for (const Song& song : catalogue) {
            if (song.qq.empty() || song.qq != mid) continue;
            std::string lyric = song.pure
                                    ? std::string("[00:00:00]此歌曲为没有填词的纯音乐，请您欣赏")
                                    : lyricOf(song);
            std::string trans = song.pure ? std::string() : translationOf(song);
            if (plain) {
                lyric = qqEscaped(lyric);
                trans = qqEscaped(trans);
            } else {
                lyric = base64(lyric);
                trans = base64(trans);
            }
            return res.set_content("{\"retcode\":0,\"code\":0,\"subcode\":0,\"lyric\":" +
                                       jsonText(lyric) + ",\"trans\":" + jsonText(trans) + "}",
                                   "application/json");
        }
        res.set_content(R"({"retcode":-1901,"code":-1901,"subcode":-1901})", "application/json");
    });

    // A source that never answers: every address under /hang waits --stall seconds.
    server.Get(R"(/hang/.*)", [&](const httplib::Request&, httplib::Response& res) {
        misbehave("stall", options, res);
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
