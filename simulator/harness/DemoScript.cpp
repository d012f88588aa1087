#include "simulator/harness/DemoScript.h"

namespace kovado::sim {

// Handset requests are spaced so that each is answered before the next
// arrives: one that waits for Skype gets its answer only when the device
// loop's read wait ends, so the next request comes 500 ms later. The handset
// fetches a picture in eight chunks once it has been told it is ready.
const char* DemoScript() {
    return R"scn(# kovado-sim demo: a tour of the whole bridge in virtual time.
model 6612
skype installed
skype running
attach 0
wavein "Microphone (Realtek Audio)"
wavein "USB Audio Device"
audiotool pending

# What the Skype client answers.
reply "GET CURRENTUSERHANDLE" "CURRENTUSERHANDLE anna.k"
reply "get userstatus" "USERSTATUS ONLINE"
reply "get skypeversion" "SKYPEVERSION 2.0.0.81"
reply "GET CALL 1001 PARTNER_HANDLE" "CALL 1001 PARTNER_HANDLE ivan.petrov"
reply "GET USER ivan.petrov DISPLAYNAME" "USER ivan.petrov DISPLAYNAME Иван Петров"
reply "SET CALL 1001 STATUS INPROGRESS" "CALL 1001 STATUS INPROGRESS"
reply "SET CALL 1001 STATUS FINISHED" "CALL 1001 STATUS FINISHED"
reply "CALL echo123" "CALL 1002 STATUS ROUTING"
reply "CALL echo123" "CALL 1002 FAILUREREASON 4"
reply "CALL echo123" "CALL 1002 STATUS FAILED"
reply "search friends" "USERS ivan.petrov, li.wei, maria.garcia, tom.baker"
reply "SEARCH CALLS" "CALLS 1002, 1001, 997"
reply "GET CALL 1001 PARTNER_DISPNAME" "CALL 1001 PARTNER_DISPNAME Иван Петров"
reply "GET CALL 1001 TYPE" "CALL 1001 TYPE INCOMING_P2P"
reply "GET CALL 1001 STATUS" "CALL 1001 STATUS FINISHED"
reply "GET CALL 997 PARTNER_DISPNAME" "CALL 997 PARTNER_DISPNAME 王小明"
reply "GET CALL 997 TYPE" "CALL 997 TYPE INCOMING_P2P"
reply "GET CALL 997 STATUS" "CALL 997 STATUS MISSED"

at 0     note "The bridge starts: a 0x6612 handset is plugged in, Skype is running"
at 3500  note "The handset reports its font's script; the bridge answers with the clock"
at 3500  hid 01 17 01 01
at 4000  note "An incoming call from a contact whose name is in Cyrillic"
at 4000  skype "CALL 1001 STATUS RINGING"
at 4600  hid 01 26 0B 69 76 61 6E 2E 70 65 74 72 6F 76
at 5000  hid 01 27 01 00
at 5100  hid 01 27 01 01
at 5200  hid 01 27 01 02
at 5300  hid 01 27 01 03
at 5400  hid 01 27 01 04
at 5500  hid 01 27 01 05
at 5600  hid 01 27 01 06
at 5700  hid 01 27 01 07
at 5900  note "The call is answered on the handset"
at 5900  hid 01 10 02 03 E9
at 7000  note "... and hung up on the handset"
at 7000  hid 01 13 02 03 E9
at 8000  note "An outgoing call that fails: the handset dials echo123"
at 8000  hid 01 0F 07 65 63 68 6F 31 32 33
at 9500  note "Browsing the contacts: four of them, fetched in ranges"
at 9500  hid 01 01 00
at 10000 hid 01 05 03 00 00 03
at 10300 hid 01 05 03 00 03 02
at 10600 hid 01 05 03 00 03 01
at 11000 note "The call history, with a picture for each call"
at 11000 hid 01 03 00
at 11500 hid 01 07 03 00 00 03
at 11800 hid 01 2A 02 03 E9
at 12300 hid 01 27 01 00
at 12400 hid 01 27 01 01
at 12500 hid 01 27 01 02
at 12600 hid 01 27 01 03
at 12700 hid 01 27 01 04
at 12800 hid 01 27 01 05
at 12900 hid 01 27 01 06
at 13000 hid 01 27 01 07
at 13200 hid 01 2A 02 03 E5
at 13700 hid 01 27 01 00
at 13800 hid 01 27 01 01
at 13900 hid 01 27 01 02
at 14000 hid 01 27 01 03
at 14100 hid 01 27 01 04
at 14200 hid 01 27 01 05
at 14300 hid 01 27 01 06
at 14400 hid 01 27 01 07
at 14500 note "The user picks Deutsch in the tray menu; the handset asks for a menu text"
at 14500 command 201
at 14800 hid 01 28 01 10
at 17000 note "The handset is unplugged ..."
at 17000 unplug
at 20000 note "... and plugged in again"
at 20000 plug 6612
at 20500 hid 01 17 01 01
at 23000 note "The Skype user logs out; the bridge invites the client to attach again"
at 23000 skype "CONNSTATUS LOGGEDOUT"
until 26000
)scn";
}

}  // namespace kovado::sim
