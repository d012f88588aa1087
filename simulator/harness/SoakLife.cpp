// The soak's random life, written as a scenario file so that any run can be
// replayed line for line. Two timelines are drawn from one seeded generator:
// the user's and the callers' doings, and the faults; both are cut at the
// calm line, which puts the world right again.
#include <algorithm>
#include <cstdio>
#include <random>

#include "simulator/harness/Soak.h"

namespace kovado::sim {

namespace {

const char* const kHeader = R"scn(reply "GET CURRENTUSERHANDLE" "CURRENTUSERHANDLE anna.k"
reply "get userstatus" "USERSTATUS ONLINE"
reply "get skypeversion" "SKYPEVERSION 2.0.0.81"
reply "search friends" "USERS ivan.petrov, li.wei, maria.garcia, tom.baker"
reply "SEARCH CALLS" "CALLS 1002, 1001, 997"
reply "SEARCH MISSEDCALLS" "CALLS 997"
reply "GET USER ivan.petrov DISPLAYNAME" "USER ivan.petrov DISPLAYNAME Иван Петров"
reply "GET USER li.wei DISPLAYNAME" "USER li.wei DISPLAYNAME 王小明"
reply "GET USER ivan.petrov ONLINESTATUS" "USER ivan.petrov ONLINESTATUS ONLINE"
reply "GET CALL 1001 PARTNER_DISPNAME" "CALL 1001 PARTNER_DISPNAME Иван Петров"
reply "GET CALL 1001 TYPE" "CALL 1001 TYPE INCOMING_P2P"
reply "GET CALL 1001 STATUS" "CALL 1001 STATUS FINISHED"
reply "GET CALL 997 PARTNER_DISPNAME" "CALL 997 PARTNER_DISPNAME 王小明"
reply "GET CALL 997 TYPE" "CALL 997 TYPE INCOMING_P2P"
reply "GET CALL 997 STATUS" "CALL 997 STATUS MISSED"
wavein "USB Audio Device"
audiotool done
)scn";

const char* const kHandles[] = {"ivan.petrov", "li.wei", "maria.garcia", "tom.baker", "echo123"};
const char* const kModels[] = {"6611", "6612", "6621"};
const char* const kStatuses[] = {"ONLINE", "AWAY", "DND", "NA", "INVISIBLE", "SKYPEME"};
const char* const kOddTexts[] = {
    "CALL 99999999 STATUS RINGING", "CALL STATUS", "CALL 12a STATUS INPROGRESS",
    "USERS ", "CALLS ,,,", "USERSTATUS", "CURRENTUSERHANDLE", "CALL 0 STATUS FINISHED",
    "CONNSTATUS ONLINE", "ERROR 68 Access denied", "CALL 1001 PARTNER_HANDLE",
};

class Life {
public:
    Life(std::uint64_t seed, std::uint64_t lifeMs) : m_rng(seed), m_nLifeMs(lifeMs) {}

    std::uint64_t Below(std::uint64_t n) { return n == 0 ? 0 : m_rng() % n; }
    std::uint64_t Between(std::uint64_t lo, std::uint64_t hi) { return lo + Below(hi - lo + 1); }
    bool Chance(int percent) { return Below(100) < static_cast<std::uint64_t>(percent); }
    template <class T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }

    void At(std::uint64_t t, std::string what) {
        if (t < m_nLifeMs) m_lines.push_back({t, std::move(what)});
    }
    void Hid(std::uint64_t t, std::vector<int> bytes) {
        std::string line = "hid";
        char hex[4];
        for (int b : bytes) {
            std::snprintf(hex, sizeof hex, " %02X", b & 0xFF);
            line += hex;
        }
        At(t, line);
    }
    void Skype(std::uint64_t t, const std::string& text) { At(t, "skype \"" + text + "\""); }
    void CallStatus(std::uint64_t t, int id, const char* status) {
        Skype(t, "CALL " + std::to_string(id) + " STATUS " + status);
    }
    void HandsetCall(std::uint64_t t, int request, int id) {
        Hid(t, {0x01, request, 0x02, id >> 8, id & 0xFF});
    }
    void Dial(std::uint64_t t, const std::string& handle) {
        std::vector<int> bytes{0x01, 0x0F, static_cast<int>(handle.size())};
        for (char c : handle) bytes.push_back(static_cast<unsigned char>(c));
        Hid(t, bytes);
    }
    void Picture(std::uint64_t t, std::vector<int> ready) {
        Hid(t, std::move(ready));
        for (int chunk = 0; chunk < 8; ++chunk) Hid(t + 400 + 100 * chunk, {0x01, 0x27, 0x01, chunk});
    }

    // A call that ends one of the ways a call ends; returns its length.
    std::uint64_t Call(std::uint64_t t, int id) {
        ++m_nCalls;
        const char* handle = Pick(kHandles);
        std::uint64_t end = t;
        if (Chance(50)) {
            // Incoming.
            CallStatus(t, id, "RINGING");
            Skype(t + 20, "CALL " + std::to_string(id) + " PARTNER_HANDLE " + handle);
            if (Chance(40)) {
                std::string h = handle;
                std::vector<int> ready{0x01, 0x26, static_cast<int>(h.size())};
                for (char c : h) ready.push_back(static_cast<unsigned char>(c));
                Picture(t + 600, ready);
            }
            std::uint64_t ring = Between(1500, 12000);
            int way = static_cast<int>(Below(4));
            if (way == 0) {  // missed
                CallStatus(t + ring, id, "MISSED");
                return ring;
            }
            if (way == 1) {  // refused on the handset
                HandsetCall(t + ring, 0x13, id);
                CallStatus(t + ring + 60, id, "REFUSED");
                return ring + 60;
            }
            if (way == 2) {  // the caller gives up
                CallStatus(t + ring, id, "FINISHED");
                return ring;
            }
            HandsetCall(t + ring, 0x10, id);  // answered
            CallStatus(t + ring + 60, id, "INPROGRESS");
            end = t + ring + 60;
        } else {
            // Outgoing.
            Dial(t, handle);
            CallStatus(t + 80, id, "ROUTING");
            int way = static_cast<int>(Below(4));
            if (way == 0) {  // fails
                Skype(t + 300, "CALL " + std::to_string(id) + " FAILUREREASON " +
                                   std::to_string(Between(1, 12)));
                CallStatus(t + 320, id, "FAILED");
                return 320;
            }
            CallStatus(t + 400, id, "RINGING");
            std::uint64_t ring = Between(1000, 9000);
            if (way == 1) {  // refused by the other side
                CallStatus(t + 400 + ring, id, "REFUSED");
                return 400 + ring;
            }
            if (way == 2) {  // given up on the handset
                HandsetCall(t + 400 + ring, 0x13, id);
                CallStatus(t + 460 + ring, id, "CANCELLED");
                return 460 + ring;
            }
            CallStatus(t + 400 + ring, id, "INPROGRESS");
            end = t + 400 + ring;
        }
        // In progress: some digits, then one side hangs up.
        std::uint64_t talk = Between(2000, 60000);
        for (std::uint64_t d = Below(4); d > 0; --d)
            Hid(end + Below(talk), {0x01, 0x12, 0x01, static_cast<int>('0' + Below(10))});
        if (Chance(50)) {
            HandsetCall(end + talk, 0x13, id);
            CallStatus(end + talk + 60, id, "FINISHED");
        } else {
            CallStatus(end + talk, id, "FINISHED");
        }
        return end + talk + 60 - t;
    }

    std::uint64_t Browse(std::uint64_t t) {
        switch (Below(6)) {
            case 0:  // contacts, fetched in ranges
                Hid(t, {0x01, 0x01, 0x00});
                Hid(t + 500, {0x01, 0x05, 0x03, 0x00, 0x00, 0x03});
                Hid(t + 900, {0x01, 0x05, 0x03, 0x00, 0x03, 0x02});
                Hid(t + 1300, {0x01, 0x09, 0x01, 0x00});
                return 1700;
            case 1:  // call history with pictures
                Hid(t, {0x01, 0x03, 0x00});
                Hid(t + 500, {0x01, 0x07, 0x03, 0x00, 0x00, 0x03});
                Picture(t + 900, {0x01, 0x2A, 0x02, 0x03, 0xE9});
                Picture(t + 2300, {0x01, 0x2A, 0x02, 0x03, 0xE5});
                return 3700;
            case 2:  // missed calls
                Hid(t, {0x01, 0x04, 0x00});
                Hid(t + 500, {0x01, 0x08, 0x03, 0x00, 0x00, 0x01});
                return 900;
            case 3:  // status
                if (Chance(50))
                    Skype(t, std::string("USERSTATUS ") + Pick(kStatuses));
                else
                    Hid(t, {0x01, 0x16, 0x00});
                return 400;
            case 4:  // language and menu texts
                At(t, "command " + std::to_string(200 + Below(2)));
                Hid(t + 300, {0x01, 0x28, 0x01, static_cast<int>(Below(0x20))});
                Hid(t + 700, {0x01, 0x17, 0x01, static_cast<int>(Below(4))});
                return 1100;
            default:  // model, user handle, call time
                Hid(t, {0x01, 0x25, 0x00});
                Hid(t + 400, {0x01, 0x29, 0x00});
                Hid(t + 800, {0x01, 0x18, 0x00});
                return 1200;
        }
    }

    void Fault(std::uint64_t t) {
        switch (Below(12)) {
            case 0: {  // unplugged; the same or another model comes back
                At(t, "unplug");
                At(t + Between(500, 10000), std::string("plug ") + Pick(kModels));
                break;
            }
            case 1:
                At(t, "fault skype-stop");
                At(t + Between(2000, 20000), "fault skype-start");
                break;
            case 2:  // the user logs out; the next attach is refused or pending
                At(t, Chance(50) ? "fault attach 2" : "fault attach 1 0");
                Skype(t + 10, "CONNSTATUS LOGGEDOUT");
                At(t + Between(3000, 15000), "fault attach 0");
                break;
            case 3:
                Skype(t, "CONNSTATUS LOGGEDOUT");
                break;
            case 4:
                At(t, "fault refuse-sends");
                At(t + Between(500, 8000), "fault accept-sends");
                break;
            case 5:
                At(t, "fault lose-ack " + std::to_string(Between(1, 7)));
                break;
            case 6:
                At(t, "fault duplicate-ack");
                break;
            case 7:
                At(t, "fault delay-ack " + std::to_string(Between(100, 2500)));
                break;
            case 8:
                At(t, "fault acks-off");
                At(t + Between(1000, 15000), "fault acks-auto");
                break;
            case 9:
                At(t, "fault write-delay " + std::to_string(Between(2, 30)));
                At(t + Between(500, 8000), "fault write-delay 0");
                break;
            case 10: {  // a malformed report: any bytes, or an event whose length lies
                std::vector<int> bytes;
                if (Chance(50)) {
                    bytes = {0x01, static_cast<int>(Below(0x30)), static_cast<int>(Below(256))};
                    for (std::uint64_t n = Below(6); n > 0; --n)
                        bytes.push_back(static_cast<int>(Below(256)));
                } else {
                    for (std::uint64_t n = Between(1, 64); n > 0; --n)
                        bytes.push_back(static_cast<int>(Below(256)));
                }
                Hid(t, bytes);
                break;
            }
            default:
                Skype(t, Pick(kOddTexts));
                break;
        }
    }

    std::mt19937_64 m_rng;
    std::uint64_t m_nLifeMs;
    std::vector<std::pair<std::uint64_t, std::string>> m_lines;
    int m_nCalls = 0;
};

}  // namespace

SoakLife GenerateSoakLife(std::uint64_t seed, std::uint64_t lifeMs, std::uint64_t calmMs) {
    Life life(seed, lifeMs);
    // The user's doings: calls and browsing, now and then at the same time.
    int nextId = 1100;
    for (std::uint64_t t = 4000; t < lifeMs;) {
        std::uint64_t took;
        if (life.Chance(55)) {
            took = life.Call(t, nextId);
            nextId = nextId >= 60000 ? 1100 : nextId + 1;
        } else {
            took = life.Browse(t);
        }
        if (life.Chance(15)) took = life.Below(took + 1);  // overlaps what comes next
        t += took + life.Between(300, 8000);
    }
    // The faults, on their own timeline.
    for (std::uint64_t t = 6000 + life.Below(20000); t < lifeMs; t += life.Between(2000, 40000))
        life.Fault(t);

    std::stable_sort(life.m_lines.begin(), life.m_lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    SoakLife out;
    out.calls = life.m_nCalls;
    out.calmAtMs = lifeMs;
    out.text = "# soak life of seed " + std::to_string(seed) + "\nmodel " +
               kModels[seed % std::size(kModels)] + "\n" + kHeader;
    for (const auto& [t, what] : life.m_lines)
        out.text += "at " + std::to_string(t) + " " + what + "\n";
    out.text += "at " + std::to_string(lifeMs) + " fault calm\n";
    out.text += "until " + std::to_string(lifeMs + calmMs) + "\n";
    return out;
}

}  // namespace kovado::sim
