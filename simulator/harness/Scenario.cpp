#include "simulator/harness/Scenario.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

namespace kovado::sim {

namespace {

// Longer runs are almost surely a typing error; a virtual day is plenty.
constexpr std::uint64_t kMaxTimeMs = 24ull * 3600 * 1000;
// An input report carries at most this many bytes after its report id.
constexpr std::size_t kMaxReportBytes = 64;

struct Token {
    std::string text;
    bool quoted = false;
};

// Splits a line into words and quoted texts; "#" outside quotes starts a
// comment. Inside quotes \" is a quote; any other backslash stays as it is.
bool Tokenize(const std::string& line, std::vector<Token>& tokens, std::string& error) {
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token token{std::string(), true};
            ++i;
            for (;;) {
                if (i >= line.size()) {
                    error = "a text has no closing quote";
                    return false;
                }
                if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
                    token.text.push_back('"');
                    i += 2;
                } else if (line[i] == '"') {
                    ++i;
                    break;
                } else {
                    token.text.push_back(line[i++]);
                }
            }
            tokens.push_back(std::move(token));
        } else {
            Token token;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
                   line[i] != '#' && line[i] != '"')
                token.text.push_back(line[i++]);
            tokens.push_back(std::move(token));
        }
    }
    return true;
}

// A decimal number, or a hexadecimal one written with 0x.
bool Number(const Token& token, std::uint64_t max, std::uint64_t& out) {
    if (token.quoted || token.text.empty()) return false;
    const char* first = token.text.data();
    const char* last = first + token.text.size();
    int base = 10;
    if (token.text.size() > 2 && token.text[0] == '0' &&
        (token.text[1] == 'x' || token.text[1] == 'X')) {
        first += 2;
        base = 16;
    }
    auto [end, ec] = std::from_chars(first, last, out, base);
    return ec == std::errc() && end == last && out <= max;
}

bool HexByte(const Token& token, BYTE& out) {
    std::uint64_t value = 0;
    if (token.quoted || token.text.size() != 2) return false;
    auto [end, ec] = std::from_chars(token.text.data(), token.text.data() + 2, value, 16);
    if (ec != std::errc() || end != token.text.data() + 2) return false;
    out = static_cast<BYTE>(value);
    return true;
}

// The models by the numbers printed on them: 6611 means product 0x6611.
bool Model(const Token& token, bool allowNone, WORD& out) {
    static const std::pair<const char*, WORD> kModels[] = {
        {"6611", 0x6611}, {"6612", 0x6612}, {"6621", 0x6621}};
    if (token.quoted) return false;
    if (allowNone && token.text == "none") {
        out = kNoHandset;
        return true;
    }
    for (const auto& [name, id] : kModels)
        if (token.text == name) {
            out = id;
            return true;
        }
    return false;
}

// Reads one of two words into a flag.
bool Choice(const Token& token, const char* yes, const char* no, bool& out) {
    if (token.quoted) return false;
    if (token.text == yes)
        out = true;
    else if (token.text == no)
        out = false;
    else
        return false;
    return true;
}

class Parser {
public:
    Parser(Scenario& out) : m_out(out) {}

    // Handles one line's tokens; false with a message in m_error.
    bool Line(const std::vector<Token>& t, int line) {
        const std::string& word = t[0].text;
        if (t[0].quoted) return Fail("a line must begin with a directive");
        if (word == "model")
            return Args(t, 2) &&
                   (Model(t[1], true, m_out.model) || Fail("model is 6611, 6612, 6621 or none"));
        if (word == "skype") return Args(t, 2) && SkypeState(t[1]);
        if (word == "attach") return Attach(t);
        if (word == "ack")
            return Args(t, 2) &&
                   (Choice(t[1], "auto", "off", m_out.ackAuto) || Fail("ack is auto or off"));
        if (word == "ready")
            return Args(t, 2) &&
                   (Choice(t[1], "auto", "off", m_out.readyAuto) || Fail("ready is auto or off"));
        if (word == "debug")
            return Args(t, 2) &&
                   (Choice(t[1], "on", "off", m_out.debug) || Fail("debug is on or off"));
        if (word == "quickreply")
            return Args(t, 2) && (Choice(t[1], "on", "off", m_out.quickReply) ||
                                  Fail("quickreply is on or off"));
        if (word == "audiotool") return Args(t, 2) && AudioTool(t[1]);
        if (word == "wavein") {
            if (!Args(t, 2) || !Text(t[1])) return false;
            m_out.waveIn.push_back(t[1].text);
            return true;
        }
        if (word == "reply") {
            if (!Args(t, 3) || !Text(t[1]) || !Text(t[2])) return false;
            m_out.replies.emplace_back(t[1].text, t[2].text);
            return true;
        }
        if (word == "until") {
            std::uint64_t at = 0;
            if (!Args(t, 2) || !Time(t[1], at)) return false;
            if (m_out.untilMs) return Fail("until is given twice");
            m_out.untilMs = at;
            return true;
        }
        if (word == "at") return At(t, line);
        return Fail("unknown directive \"" + word + "\"");
    }

    std::string m_error;

private:
    bool Fail(std::string message) {
        m_error = std::move(message);
        return false;
    }
    bool Args(const std::vector<Token>& t, std::size_t count) {
        if (t.size() == count) return true;
        return Fail(t[0].text + " takes " + std::to_string(count - 1) +
                    (count == 2 ? " argument" : " arguments"));
    }
    bool Text(const Token& token) {
        return token.quoted || Fail("expected a text in double quotes, found " + token.text);
    }
    bool Time(const Token& token, std::uint64_t& out) {
        return Number(token, kMaxTimeMs, out) ||
               Fail("expected a time in milliseconds (at most one day), found " + token.text);
    }

    bool SkypeState(const Token& token) {
        if (token.quoted) return Fail("skype takes a word, not a text");
        if (token.text == "installed" || token.text == "missing")
            m_out.skypeInstalled = token.text == "installed";
        else if (token.text == "running" || token.text == "stopped")
            m_out.skypeRunning = token.text == "running";
        else
            return Fail("skype is installed, missing, running or stopped");
        return true;
    }

    bool AudioTool(const Token& token) {
        if (token.quoted) return Fail("audiotool takes a word, not a text");
        if (token.text == "pending")
            m_out.audioTool = Scenario::AudioTool::Pending;
        else if (token.text == "done")
            m_out.audioTool = Scenario::AudioTool::Done;
        else if (token.text == "absent")
            m_out.audioTool = Scenario::AudioTool::Absent;
        else
            return Fail("audiotool is pending, done or absent");
        return true;
    }

    bool Attach(const std::vector<Token>& t) {
        if (t.size() < 2) return Fail("attach takes one or more statuses");
        m_out.attachStatuses.clear();
        for (std::size_t i = 1; i < t.size(); ++i) {
            std::uint64_t status = 0;
            if (!Number(t[i], 0xFFFFFFFF, status))
                return Fail("an attach status is a number, found " + t[i].text);
            m_out.attachStatuses.push_back(static_cast<std::intptr_t>(status));
        }
        return true;
    }

    bool At(const std::vector<Token>& t, int line) {
        if (t.size() < 3) return Fail("at takes a time and an event");
        ScenarioEvent event;
        event.line = line;
        if (!Time(t[1], event.atMs)) return false;
        const std::string& what = t[2].text;
        std::vector<Token> rest(t.begin() + 2, t.end());
        if (what == "skype" || what == "note") {
            if (!Args(rest, 2) || !Text(rest[1])) return false;
            event.kind = what == "skype" ? ScenarioEvent::Kind::Skype : ScenarioEvent::Kind::Note;
            event.text = rest[1].text;
        } else if (what == "hid") {
            if (rest.size() < 2) return Fail("hid takes the bytes of a report");
            if (rest.size() - 1 > kMaxReportBytes)
                return Fail("a report holds at most 64 bytes after its report id");
            event.kind = ScenarioEvent::Kind::Hid;
            for (std::size_t i = 1; i < rest.size(); ++i) {
                BYTE b = 0;
                if (!HexByte(rest[i], b))
                    return Fail("expected a byte as two hex digits, found " + rest[i].text);
                event.bytes.push_back(b);
            }
        } else if (what == "unplug") {
            if (!Args(rest, 1)) return false;
            event.kind = ScenarioEvent::Kind::Unplug;
        } else if (what == "plug") {
            if (!Args(rest, 2)) return false;
            if (!Model(rest[1], false, event.model)) return Fail("plug takes 6611, 6612 or 6621");
            event.kind = ScenarioEvent::Kind::Plug;
        } else if (what == "command") {
            std::uint64_t id = 0;
            if (!Args(rest, 2)) return false;
            if (!Number(rest[1], 0xFFFF, id)) return Fail("a command is a number up to 65535");
            event.kind = ScenarioEvent::Kind::Command;
            event.command = static_cast<std::uint32_t>(id);
        } else if (what == "fault") {
            if (rest.size() < 2 || rest[1].quoted) return Fail("fault takes a name");
            const FaultKind* kind = nullptr;
            for (std::size_t i = 0; i < kFaultKindCount; ++i)
                if (rest[1].text == kFaultKinds[i].name) kind = &kFaultKinds[i];
            if (!kind) return Fail("unknown fault \"" + rest[1].text + "\"");
            std::size_t given = rest.size() - 2;
            if (kind->numbers >= 0 ? given != static_cast<std::size_t>(kind->numbers) : given == 0)
                return Fail(rest[1].text + " takes " +
                            (kind->numbers < 0    ? "one or more numbers"
                             : kind->numbers == 0 ? "no number"
                                                  : "one number"));
            for (std::size_t i = 2; i < rest.size(); ++i) {
                std::uint64_t n = 0;
                if (!Number(rest[i], 0xFFFFFFFF, n)) return Fail("expected a number, found " + rest[i].text);
                event.numbers.push_back(n);
            }
            event.kind = ScenarioEvent::Kind::Fault;
            event.text = rest[1].text;
        } else {
            return Fail("unknown event \"" + what + "\"");
        }
        m_out.events.push_back(std::move(event));
        return true;
    }

    Scenario& m_out;
};

}  // namespace

const FaultKind kFaultKinds[] = {
    {"skype-stop", 0},   {"skype-start", 0},  {"refuse-sends", 0}, {"accept-sends", 0},
    {"acks-off", 0},     {"acks-auto", 0},    {"lose-ack", 1},     {"duplicate-ack", 0},
    {"delay-ack", 1},    {"write-delay", 1},  {"attach", -1},      {"calm", 0},
};
const std::size_t kFaultKindCount = std::size(kFaultKinds);

std::uint64_t Scenario::EndMs() const {
    if (untilMs) return *untilMs;
    std::uint64_t last = 0;
    for (const ScenarioEvent& e : events) last = std::max(last, e.atMs);
    return last + 5000;
}

bool ParseScenario(const std::string& text, const std::string& name, Scenario& out,
                   std::string& error) {
    out = Scenario();
    Parser parser(out);
    std::size_t start = 0;
    for (int line = 1; start <= text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::vector<Token> tokens;
        std::string problem;
        if (!Tokenize(text.substr(start, end - start), tokens, problem) ||
            (!tokens.empty() && !parser.Line(tokens, line))) {
            if (problem.empty()) problem = parser.m_error;
            error = name + ":" + std::to_string(line) + ": " + problem;
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool LoadScenario(const std::string& path, Scenario& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return false;
    }
    std::string text(std::istreambuf_iterator<char>(in), {});
    return ParseScenario(text, path, out, error);
}

}  // namespace kovado::sim
