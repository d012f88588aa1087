// Scenario files: every directive read as written, and a file that cannot be
// read named with its line.
#include <gtest/gtest.h>

#include "simulator/harness/Scenario.h"

namespace kovado::sim {
namespace {

TEST(ScenarioParse, ReadsEveryDirective) {
    const std::string text = R"(# a comment line

model 6621                   # after a directive
skype missing
skype stopped
attach 0x8001 0
ack off
ready off
debug on
quickreply on
audiotool done
wavein "USB Audio Device"
wavein "Mic \"Pro\" # 2"
reply "GET CURRENTUSERHANDLE" "CURRENTUSERHANDLE echo123"
reply "GET CURRENTUSERHANDLE" "second"
at 2000 hid 01 10 02 00 0c
at 1500 skype "USER x DISPLAYNAME Иван"
at 9000 unplug
at 9100 plug 6611
at 9500 command 201
at 9600 note "look"
until 20000
)";
    Scenario s;
    std::string error;
    ASSERT_TRUE(ParseScenario(text, "t.scn", s, error)) << error;
    EXPECT_EQ(s.model, 0x6621);
    EXPECT_FALSE(s.skypeInstalled);
    EXPECT_FALSE(s.skypeRunning);
    EXPECT_EQ(s.attachStatuses, (std::vector<std::intptr_t>{0x8001, 0}));
    EXPECT_FALSE(s.ackAuto);
    EXPECT_FALSE(s.readyAuto);
    EXPECT_TRUE(s.debug);
    EXPECT_TRUE(s.quickReply);
    EXPECT_EQ(s.audioTool, Scenario::AudioTool::Done);
    EXPECT_EQ(s.waveIn, (std::vector<std::string>{"USB Audio Device", "Mic \"Pro\" # 2"}));
    ASSERT_EQ(s.replies.size(), 2u);
    EXPECT_EQ(s.replies[1],
              (std::pair<std::string, std::string>{"GET CURRENTUSERHANDLE", "second"}));
    ASSERT_EQ(s.events.size(), 6u);
    EXPECT_EQ(s.events[0].atMs, 2000u);
    EXPECT_EQ(s.events[0].bytes, (std::vector<BYTE>{0x01, 0x10, 0x02, 0x00, 0x0C}));
    EXPECT_EQ(s.events[0].line, 16);
    EXPECT_EQ(s.events[1].text, "USER x DISPLAYNAME Иван");
    EXPECT_EQ(s.events[2].kind, ScenarioEvent::Kind::Unplug);
    EXPECT_EQ(s.events[3].model, 0x6611);
    EXPECT_EQ(s.events[4].command, 201u);
    EXPECT_EQ(s.events[5].kind, ScenarioEvent::Kind::Note);
    EXPECT_EQ(s.EndMs(), 20000u);

    // The defaults, and the end of a run without until.
    ASSERT_TRUE(ParseScenario("at 700 unplug\n", "d.scn", s, error)) << error;
    EXPECT_EQ(s.model, 0x6612);
    EXPECT_TRUE(s.skypeInstalled && s.skypeRunning && s.ackAuto && s.readyAuto);
    EXPECT_FALSE(s.debug);
    EXPECT_FALSE(s.quickReply);
    EXPECT_EQ(s.attachStatuses, (std::vector<std::intptr_t>{0}));
    EXPECT_EQ(s.EndMs(), 5700u);
}

TEST(ScenarioParse, NamesTheFileAndLineOfWhatItCannotRead) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"model 6613", "t.scn:1: model is 6611, 6612, 6621 or none"},
        {"quickreply yes", "t.scn:1: quickreply is on or off"},
        {"# fine\n\nskype sleeping", "t.scn:3: skype is installed, missing, running or stopped"},
        {"reply \"GET CURRENTUSERHANDLE\"", "t.scn:1: reply takes 2 arguments"},
        {"wavein USB", "t.scn:1: expected a text in double quotes, found USB"},
        {"at 10 skype \"open", "t.scn:1: a text has no closing quote"},
        {"at 10 hid 01 1", "t.scn:1: expected a byte as two hex digits, found 1"},
        {"at 10 hid", "t.scn:1: hid takes the bytes of a report"},
        {"at soon unplug",
         "t.scn:1: expected a time in milliseconds (at most one day), found soon"},
        {"at 10 plug 6621 6611", "t.scn:1: plug takes 1 argument"},
        {"at 10 command exit", "t.scn:1: a command is a number up to 65535"},
        {"at 10 dance", "t.scn:1: unknown event \"dance\""},
        {"at 10 fault meteor", "t.scn:1: unknown fault \"meteor\""},
        {"at 10 fault delay-ack", "t.scn:1: delay-ack takes one number"},
        {"at 10 fault attach", "t.scn:1: attach takes one or more numbers"},
        {"at 10 fault calm 3", "t.scn:1: calm takes no number"},
        {"until 10\nuntil 20", "t.scn:2: until is given twice"},
        {"frobnicate 3", "t.scn:1: unknown directive \"frobnicate\""},
    };
    for (const auto& c : cases) {
        Scenario s;
        std::string error;
        EXPECT_FALSE(ParseScenario(c.text, "t.scn", s, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    std::string tooLong = "at 1 hid";
    for (int i = 0; i < 65; ++i) tooLong += " 00";
    Scenario s;
    std::string error;
    EXPECT_FALSE(ParseScenario(tooLong, "t.scn", s, error));
    EXPECT_EQ(error, "t.scn:1: a report holds at most 64 bytes after its report id");
}

}  // namespace
}  // namespace kovado::sim
