#include "follow/session_json.hpp"

#include <cmath>
#include <nlohmann/json.hpp>

#include "text/codepage.hpp"

namespace {

using nlohmann::json;

const char* stateName(PlayState state) {
    switch (state) {
        case PlayState::Playing:
            return "playing";
        case PlayState::Paused:
            return "paused";
        case PlayState::Stopped:
            return "stopped";
        case PlayState::Other:
            break;
    }
    return "other";
}

bool readSession(const json& object, std::int64_t atMs, SessionSnapshot& out, std::string& error) {
    if (!object.is_object()) {
        error = "a session is not an object";
        return false;
    }
    auto text = [&](const char* key) -> GbkText {
        const auto it = object.find(key);
        return it != object.end() && it->is_string() ? codepage::utf8ToGbk(it->get<std::string>())
                                                     : GbkText();
    };
    auto number = [&](const char* key) -> std::optional<double> {
        const auto it = object.find(key);
        if (it == object.end() || !it->is_number()) return std::nullopt;
        const double value = it->get<double>();
        // Beyond a year of milliseconds is no time a player gives.
        if (!std::isfinite(value) || std::fabs(value) > 3.2e10) return std::nullopt;
        return value;
    };
    out.player = text("player");
    out.title = text("title");
    out.artist = text("artist");
    out.lengthMs = static_cast<std::int64_t>(number("length").value_or(0));
    const std::string state = object.value("state", std::string());
    out.state = state == "playing"   ? PlayState::Playing
                : state == "paused"  ? PlayState::Paused
                : state == "stopped" ? PlayState::Stopped
                                     : PlayState::Other;
    const auto position = number("position");
    out.hasPosition = position.has_value();
    out.positionMs = static_cast<std::int64_t>(position.value_or(0));
    out.stampMicros =
        static_cast<std::int64_t>(number("stamp").value_or(static_cast<double>(atMs))) * 1000;
    out.rate = number("rate").value_or(1.0);
    return true;
}

}  // namespace

TimelineLine parseTimelineLine(std::string_view line) {
    TimelineLine result;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (line.empty() || line.front() == '#') return result;
    // The parser throws on malformed text; nothing of it leaves here.
    try {
        const json object = json::parse(line);
        if (!object.is_object() || !object.contains("at") || !object["at"].is_number()) {
            result.error = "each line needs a number \"at\"";
            return result;
        }
        TimedSessions timed;
        timed.atMs = object["at"].get<std::int64_t>();
        if (const auto it = object.find("sessions"); it != object.end()) {
            if (!it->is_array()) {
                result.error = "\"sessions\" is not a list";
                return result;
            }
            for (const json& session : *it) {
                SessionSnapshot snap;
                if (!readSession(session, timed.atMs, snap, result.error)) return result;
                timed.sessions.push_back(std::move(snap));
            }
        }
        result.value = std::move(timed);
    } catch (const json::exception& e) {
        result.error = e.what();
    }
    return result;
}

std::string timelineJson(const TimedSessions& timed) {
    json sessions = json::array();
    for (const SessionSnapshot& s : timed.sessions) {
        json session = {{"player", codepage::gbkToUtf8(s.player)},
                        {"title", codepage::gbkToUtf8(s.title)},
                        {"artist", codepage::gbkToUtf8(s.artist)},
                        {"length", s.lengthMs},
                        {"state", stateName(s.state)}};
        if (s.hasPosition) {
            session["position"] = s.positionMs;
            session["stamp"] = s.stampMicros / 1000;
        }
        if (s.rate != 1.0) session["rate"] = s.rate;
        sessions.push_back(std::move(session));
    }
    // Replacement characters rather than an exception for text that is not UTF-8.
    return json{{"at", timed.atMs}, {"sessions", std::move(sessions)}}.dump(
        -1, ' ', false, json::error_handler_t::replace);
}
